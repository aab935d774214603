# Sourced by the install and package tests (after e2e/common.sh):
# check_installed ROOT PREFIX checks the tree under ROOT that an install to
# PREFIX (relative, e.g. "usr/") made: exactly the expected files; a valid
# menu entry whose Exec and Icon are installed; icons of the right size drawn
# from the icon art; a manual page with every word of kvo2-render --help.
check_installed() {
    local root=$1 p=$2 files want size
    files=$(cd "$root" && find . -type f -printf '%P\n' | sort)
    want=$(printf "${p}%s\n" bin/kvo2 bin/kvo2-render share/applications/kvo2.desktop \
        share/icons/hicolor/16x16/apps/kvo2.png share/icons/hicolor/32x32/apps/kvo2.png \
        share/man/man1/kvo2-render.1 | sort)
    [ "$files" = "$want" ] || fail "installed files:"$'\n'"$files"$'\n'"want:"$'\n'"$want"
    ok "installed files"

    local entry=$root/${p}share/applications/kvo2.desktop
    desktop-file-validate "$entry" || fail "desktop-file-validate $entry"
    local exec icon
    exec=$(sed -n 's/^Exec=//p' "$entry") icon=$(sed -n 's/^Icon=//p' "$entry")
    [ -x "$root/${p}bin/$exec" ] || fail "menu entry runs \"$exec\", which is not installed"
    [ -f "$root/${p}share/icons/hicolor/32x32/apps/$icon.png" ] || fail "menu entry's icon \"$icon\" not installed"
    ok "menu entry valid, runs bin/$exec, shows icon $icon"

    # The icons: their size, and the border and the four squares in place.
    while read -r size spots; do
        local png=$root/${p}share/icons/hicolor/${size}x${size}/apps/kvo2.png
        [ "$(/usr/bin/convert "$png" -format '%wx%h' info:)" = "${size}x${size}" ] || fail "$png: not ${size}x${size}"
        for spot in $spots; do
            IFS=: read -r x y colour <<<"$spot"
            got=$(/usr/bin/convert "$png" -format "%[hex:p{$x,$y}]" info: | cut -c1-6)
            [ "$got" = "$colour" ] || fail "$png ($x, $y): $got, want $colour"
        done
    done <<'ICONS'
32 0:0:000000 1:1:C0C0C0 8:8:FF0000 23:8:00FF00 8:23:0000FF 23:23:FFFF00
16 0:0:000000 1:1:808080 4:4:FF0000 11:4:00FF00 4:11:0000FF 11:11:FFFF00
ICONS
    ok "icons 16x16 and 32x32 from the icon art"

    # The manual page, set by groff, holds every word of the help, and groff
    # has nothing to warn about.
    local man=$root/${p}share/man/man1/kvo2-render.1 help words missing
    # (Headings such as "Usage:" become the page's own.)
    help=$("$root/${p}bin/kvo2-render" --help) || fail "kvo2-render --help"
    help=$(grep -v '^[^ ].*:$' <<<"$help" | sed 's/^Usage://')
    words=$(groff -man -Tutf8 -ww -rLL=300n -rHY=0 -P-cbou "$man" 2>"$WORK/groff.log") || fail "groff $man"
    [ ! -s "$WORK/groff.log" ] || fail "groff: $(cat "$WORK/groff.log")"
    missing=$(comm -23 <(tr -s ' \n' '\n\n' <<<"$help" | sort -u) <(tr -s ' \n' '\n\n' <<<"$words" | sort -u))
    [ -z "$missing" ] || fail "words of --help missing from the manual page: $missing"
    ok "manual page holds kvo2-render --help"
}
