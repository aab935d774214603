#!/usr/bin/env bash
# Kvo installed by cmake --install (prefix), or as the Debian package that
# install_debian_amd64 built (deb, from its folder): the tree; the package's
# description and its window end to end.
#   installed.sh prefix BUILD-DIR KVO2_XCHECK
#   installed.sh deb PACKAGE-DIR KVO2_XCHECK
set -uo pipefail
MODE=$1 BUILD=$2 XCHECK=$3
E2E=$(dirname "$0")/../e2e LICENCE=$(dirname "$0")/../../LICENSE
. "$E2E/lib.sh"
need cmake dpkg-deb dpkg-parsechangelog desktop-file-validate appstreamcli groff /usr/bin/convert
SIZES="16 32 48 64 128 256" METAINFO=share/metainfo/example.kvo.Kvo.metainfo.xml

if [ "$MODE" = prefix ]; then
    cmake --install "$BUILD" --prefix "$WORK/root" >"$WORK/install.log" 2>&1 ||
        fail "cmake --install: $(cat "$WORK/install.log")"
    P= VERSION=$(version "$BUILD") DOCS="LICENSE changelog.gz"
else
    DEB=$(ls "$BUILD"/kvo_*_amd64.deb 2>/dev/null) || skip_outside_ci "install_debian_amd64 built no package"
    dpkg-deb -x "$DEB" "$WORK/root" || fail "dpkg-deb -x $DEB"
    P=usr/ VERSION=$(dpkg-deb -f "$DEB" Version | sed 's/-[^-]*$//') DOCS="copyright changelog.gz changelog.Debian.gz"
fi
T=$WORK/root/$P

# Exactly the expected files.
files=$(cd "$WORK/root" && find . -type f -printf '%P\n' | sort)
want=$(printf "${P}%s\n" bin/kvo2 bin/kvo2-render share/applications/kvo2.desktop "$METAINFO" \
    $(for s in $SIZES; do echo "share/icons/hicolor/${s}x$s/apps/kvo2.png"; done) \
    share/man/man1/kvo2.1.gz share/man/man1/kvo2-render.1.gz $(printf 'share/doc/kvo/%s ' $DOCS) \
    ${P:+share/lintian/overrides/kvo} | sort)
[ "$files" = "$want" ] || fail "installed files:"$'\n'"$files"$'\n'"want:"$'\n'"$want"
ok "installed files"

# The menu entry runs an installed program with an installed icon; the
# metainfo that lists it in software centres launches it.
entry=${T}share/applications/kvo2.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate $entry"
exec=$(sed -n 's/^Exec=//p' "$entry") icon=$(sed -n 's/^Icon=//p' "$entry")
[ -x "${T}bin/$exec" ] || fail "menu entry runs \"$exec\", which is not installed"
[ -f "${T}share/icons/hicolor/256x256/apps/$icon.png" ] || fail "menu entry's icon \"$icon\" not installed"
appstreamcli validate --no-net "$T$METAINFO" >"$WORK/appstream.log" 2>&1 ||
    fail "appstreamcli validate: $(cat "$WORK/appstream.log")"
launches=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$T$METAINFO")
[ "$launches" = kvo2.desktop ] || fail "the metainfo launches \"$launches\""
ok "menu entry valid, runs bin/$exec, shows icon $icon; metainfo valid, launches kvo2.desktop"

# Every icon size from the icon art, each art pixel a sharp square: the
# spots (X:Y:colour, in art pixels) at each square's first and last pixel.
# The 48-pixel icon is the 16-pixel art times 3.
declare -A spots=(
    [32]="0:0:000000 1:1:C0C0C0 8:8:FF0000 23:8:00FF00 8:23:0000FF 23:23:FFFF00"
    [16]="0:0:000000 1:1:808080 4:4:FF0000 11:4:00FF00 4:11:0000FF 11:11:FFFF00")
for size in $SIZES; do
    art=$((size % 32 ? 16 : 32)) f=$((size % 32 ? size / 16 : size / 32))
    png=${T}share/icons/hicolor/${size}x$size/apps/kvo2.png format="%wx%h" want="${size}x$size"
    for spot in ${spots[$art]}; do
        IFS=: read -r x y colour <<<"$spot"
        format+=" %[hex:p{$((x * f)),$((y * f))}] %[hex:p{$((x * f + f - 1)),$((y * f + f - 1))}]"
        want+=" $colour $colour"
    done
    got=$(/usr/bin/convert "$png" -format "$format" info:) || fail "convert $png"
    [ "$got" = "$want" ] || fail "$png: $got"$'\n'"want: $want"
done
ok "icons $SIZES from the icon art, sharp"

# Each manual page holds every word of its program's --help, whose headings
# ("Usage:") become the page's own.
wordlist() { tr -s ' \n' '\n\n' | grep . | sort -u; }
for program in kvo2 kvo2-render; do
    man=${T}share/man/man1/$program.1.gz
    help=$("${T}bin/$program" --help) || fail "$program --help"
    words=$(gzip -dc "$man" | groff -man -Tutf8 -ww -rLL=300n -rHY=0 -P-cbou 2>"$WORK/groff.log") ||
        fail "groff $man"
    [ ! -s "$WORK/groff.log" ] || fail "groff: $(cat "$WORK/groff.log")"
    missing=$(comm -23 <(grep -v '^[^ ].*:$' <<<"$help" | sed 's/^Usage://' | wordlist) <(wordlist <<<"$words") |
        tr '\n' ' ')
    [ -z "$missing" ] || fail "words of $program --help missing from its manual page: $missing"
    ok "manual page holds $program --help"
done

# The changelog's newest entry, the metainfo's newest release, the manual
# page's header and kvo2 --version (alone on standard output, status 0) name
# the package's version.
changelog=$(gzip -dc "${T}share/doc/kvo/changelog.gz" | dpkg-parsechangelog -l- -S Version)
metainfo=$(grep -m1 -o '<release version="[^"]*"' "$T$METAINFO" | cut -d'"' -f2)
page=$(gzip -dc "${T}share/man/man1/kvo2.1.gz" | sed -n 's/^\.TH KVO2 1 "" "\([^"]*\)".*/\1/p')
printed=$("${T}bin/kvo2" --version 2>"$WORK/version.err")
status=$?
[ "$changelog|$metainfo|$page|$printed|$status" = "$VERSION|$VERSION|kvo2 $VERSION|kvo2 $VERSION|0" ] &&
    [ ! -s "$WORK/version.err" ] || fail "version $VERSION; the changelog's newest: $changelog, the metainfo's: \
$metainfo, the manual page's header: $page, kvo2 --version: \"$printed\", status $status $(cat "$WORK/version.err")"
ok "changelog, metainfo, manual page and kvo2 --version at version $VERSION"

# The licence, LICENSE: installed as it is by cmake --install; in the package, the copyright file
# (Debian's machine-readable form) names MIT for every file, with LICENSE's holder and its text
# below the copyright line (" ." lines blank again). The metainfo names MIT too.
project=$(sed -n 's:.*<project_license>\(.*\)</project_license>.*:\1:p' "$T$METAINFO")
[ "$project" = MIT ] || fail "the metainfo's project_license: \"$project\""
if [ "$MODE" = prefix ]; then
    cmp -s "${T}share/doc/kvo/LICENSE" "$LICENCE" || fail "share/doc/kvo/LICENSE is not LICENSE"
    ok "licence MIT in the metainfo; LICENSE installed"
    echo PASS
    exit 0
fi
copyright=${T}share/doc/kvo/copyright
names=$(sed -n 's/^License: *//p' "$copyright" | sort -u)
[ "$names" = MIT ] || fail "the copyright file's licences: $names"
holder=$(sed -n 's/^Copyright: */Copyright (c) /p' "$copyright")
grep -qxF "$holder" "$LICENCE" || fail "the copyright file's \"$holder\" is not LICENSE's"
text=$(sed -n '/^License: MIT$/,/^$/{/^ /{s/^ //;s/^\.$//;p}}' "$copyright")
[ "$text" = "$(sed '1,/^Copyright /d' "$LICENCE" | sed '1{/^$/d}')" ] ||
    fail "the copyright file's licence text is not LICENSE's:"$'\n'"$text"
ok "licence MIT, LICENSE's holder and text, in the copyright file"

# The description names the stills and the clips that kvo2-render --help lists (the usage's line
# with --time, and its lines from --from on), each by its title.
titles() { sed 's/ ([^)]*)//g; s/, \| or /\n/g' | tr A-Z a-z | sort; }
formats() { grep -o 'FILE\.[a-z0-9]*' | cut -d. -f2 | sort; }
description=$(dpkg-deb -f "$DEB" Description | tr '\n' ' ')
usage=$("${T}bin/kvo2-render" --help | sed '/^$/q')
said=$(sed -n 's/.* as an\? \(.*\) still, .*/\1/p' <<<"$description" | titles)"|"$(
    sed -n 's/.* looping clip: \(.*\)\. *$/\1/p' <<<"$description" | titles)
listed=$(grep -e --time <<<"$usage" | formats)"|"$(sed -n '/--from/,$p' <<<"$usage" | formats)
[ "$said" = "$listed" ] || fail "the description names \"$said\", kvo2-render --help \"$listed\": $description"
ok "the description names kvo2-render's formats: $(tr '\n' ' ' <<<"$said")"

SCENARIOS=window bash "$E2E/linux.sh" "${T}bin/kvo2" "$XCHECK" || fail "the program from the .deb"
echo PASS
