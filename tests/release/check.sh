#!/usr/bin/env bash
# tools/release.sh's RELEASE-DIR as users get it: files, sums, .debs, source (the tarball and
# the Debian source package), web zip; made again elsewhere, later, the same bytes (not with
# KVO_RELEASE_ONCE=1).
#   check.sh SOURCE-DIR RELEASE-DIR
set -uo pipefail
SRC=$(realpath "$1") REL=$(realpath "$2")
. "$SRC/tests/e2e/lib.sh"
need sha256sum dpkg-deb dpkg-source lintian qemu-aarch64 git cmp
V=$(sed -n 's/^project(kvo VERSION \([0-9.]*\).*/\1/p' "$SRC/CMakeLists.txt")
D=$(dpkg-parsechangelog -l "$SRC/debian/changelog" -S Version)  # the Debian package's version
# The commit the release was made from, as git archive wrote it in the tarball.
gzip -dc "$REL/kvo-$V.tar.gz" >"$WORK/source.tar" || fail "kvo-$V.tar.gz is no gzipped tar"
COMMIT=$(git get-tar-commit-id <"$WORK/source.tar") || fail "no commit id in kvo-$V.tar.gz"

# Exactly these files, and their sums.
want=$(printf '%s\n' SHA256SUMS "kvo-$V.tar.gz" "kvo-$V-web.zip" "kvo-$V-windows-x64.exe" \
    "kvo-$V-windows-x64.zip" "kvo-$V-windows-x86.exe" "kvo-$V-windows-x86.zip" \
    "kvo_$D.dsc" "kvo_$V.orig.tar.gz" "kvo_$D.debian.tar.xz" "kvo_${D}_amd64.deb" "kvo_${D}_arm64.deb" | sort)
got=$(cd "$REL" && find . -type f -printf '%P\n' | sort)
[ "$got" = "$want" ] || fail "release files:"$'\n'"$got"$'\n'"want:"$'\n'"$want"
(cd "$REL" && sha256sum --quiet -c SHA256SUMS) || fail "sha256sum -c SHA256SUMS"
[ "$(cut -d' ' -f3 "$REL/SHA256SUMS")" = "$(grep -vx SHA256SUMS <<<"$want")" ] ||
    fail "SHA256SUMS does not cover every file: $(cat "$REL/SHA256SUMS")"
ok "release $V: $(grep -vx SHA256SUMS <<<"$want" | tr '\n' ' '); sha256sum -c passes"

# The source package and both packages lintian clean, each package for its processor.
lintian --fail-on warning,error "$REL/kvo_$D.dsc" "$REL"/kvo_"$D"_*.deb >"$WORK/lintian" 2>&1 ||
    fail "lintian: $(cat "$WORK/lintian")"
for arch in amd64 arm64; do
    deb=$REL/kvo_${D}_$arch.deb
    [ "$(dpkg-deb -f "$deb" Architecture)" = $arch ] || fail "$deb: Architecture $(dpkg-deb -f "$deb" Architecture)"
done
ok "kvo_$D.dsc, kvo_${D}_amd64.deb and kvo_${D}_arm64.deb lintian clean; each package for its processor"
# Every library the arm64 package depends on is installed here for arm64:
# Depends was read from arm64 programs.
depends=$(dpkg-deb -f "$REL/kvo_${D}_arm64.deb" Depends)
for package in $(sed 's/([^)]*)//g; s/[,|]/ /g' <<<"$depends"); do
    dpkg-query -W -f='${Status}' "$package:arm64" 2>/dev/null | grep -q 'install ok installed' ||
        fail "arm64 Depends names $package, which is no arm64 package here: $depends"
done
grep -q libsdl2 <<<"$depends" || fail "arm64 Depends lacks SDL2: $depends"
ok "arm64 Depends, on arm64 libraries: $depends"

# The arm64 package's programs under qemu-aarch64 write what the amd64 one's do.
for arch in amd64 arm64; do dpkg-deb -x "$REL/kvo_${D}_$arch.deb" "$WORK/$arch"; done
arm() { qemu-aarch64 -L / "$WORK/arm64/usr/bin/$1" "${@:2}"; }
[ "$(arm kvo2 --version)" = "kvo2 $V" ] || fail "arm64 kvo2 --version: $(arm kvo2 --version 2>&1)"
for out in still.png clip.gif clip.webp; do
    args=(--from 149000 --to 150500 --fps 10)
    [ "$out" != still.png ] || args=(--time 77777)
    "$WORK/amd64/usr/bin/kvo2-render" "${args[@]}" --out "$WORK/amd64-$out" 2>/dev/null || fail "amd64 $out"
    arm kvo2-render "${args[@]}" --out "$WORK/arm64-$out" 2>/dev/null || fail "arm64 kvo2-render $out"
    cmp -s "$WORK/amd64-$out" "$WORK/arm64-$out" || fail "the arm64 package's $out differs from amd64's"
done
ok "arm64 package under qemu-aarch64: kvo2 --version; kvo2-render's still, GIF and WebP are amd64's, byte for byte"

# The sources: the tarball, and the Debian source package unpacked (its sums checked), hold the
# commit's files, nothing built.
tar -tzf "$REL/kvo-$V.tar.gz" | sed -n "s|^kvo-$V/||p" | grep -v '^$\|/$' | sort >"$WORK/tarred"
dpkg-source --skip-patches -x "$REL/kvo_$D.dsc" "$WORK/unpacked" >"$WORK/unpack.log" 2>&1 ||
    fail "dpkg-source -x kvo_$D.dsc: $(cat "$WORK/unpack.log")"
(cd "$WORK/unpacked" && find . -type f -printf '%P\n' | sort) >"$WORK/unpacked.list"
git -C "$SRC" ls-tree -r --name-only "$COMMIT" | sort >"$WORK/tracked"
for list in tarred unpacked.list; do
    cmp -s "$WORK/$list" "$WORK/tracked" || fail "$list is not the commit: $(diff "$WORK/tracked" "$WORK/$list" | head)"
done
ok "kvo-$V.tar.gz and kvo_$D.dsc: the $(wc -l <"$WORK/tarred") files of commit ${COMMIT:0:12}"

# The web zip, unpacked and served, in headless Chromium.
mkdir "$WORK/site"
(cd "$WORK/site" && cmake -E tar xf "$REL/kvo-$V-web.zip") || fail "cannot unpack the web zip"
SITE=$WORK/site bash "$SRC/tests/web/browser.sh" "$SRC" "$WORK/amd64/usr/bin/kvo2-render" >"$WORK/web.log" 2>&1 ||
    fail "the web zip in Chromium: $(tail -5 "$WORK/web.log")"
ok "kvo-$V-web.zip served as it is: $(tail -1 "$WORK/web.log")"

# Made again elsewhere, later, in other surroundings: the same bytes.
[ "${KVO_RELEASE_ONCE:-}" = 1 ] && { echo PASS; exit 0; }
git clone -q "$SRC" "$WORK/clone" || fail "git clone"
git -C "$WORK/clone" checkout -q "$COMMIT" || fail "no commit $COMMIT in the clone"
# The clone's Debian chroots take the same base system and packages, from where the first kept them.
(umask 002 && cd "$WORK/clone" && LANG=de_DE.UTF-8 TZ=Pacific/Kiritimati KVO_NO_DEPS=1 \
    KVO_DEBIAN_CACHE=${KVO_DEBIAN_CACHE:-$SRC/build/debian} \
    bash tools/release.sh "$WORK/again") >"$WORK/again.log" 2>&1 || fail "the second release: $(tail -20 "$WORK/again.log")"
if ! cmp -s "$REL/SHA256SUMS" "$WORK/again/SHA256SUMS"; then
    differ=$(diff "$REL/SHA256SUMS" "$WORK/again/SHA256SUMS" | sed -n 's/^< [0-9a-f]*  //p')
    for file in $differ; do
        echo "differs: $file"
        command -v diffoscope >/dev/null && diffoscope "$REL/$file" "$WORK/again/$file" | head -60
    done
    fail "the release made again differs: $(echo $differ)"
fi
ok "made again from a clone in $WORK/clone, $(( $(date +%s) - $(stat -c %Y "$REL/SHA256SUMS") )) s later: the same SHA256SUMS"
cat "$REL/SHA256SUMS"
echo PASS
