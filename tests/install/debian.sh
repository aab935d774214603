#!/usr/bin/env bash
# The source package as Debian checks one, built in a clean chroot (tools/debian.sh) into OUT-DIR:
#   debian.sh SOURCE-DIR amd64 OUT-DIR   amd64, its unit tests run there; lintian on the .changes
#     (source and binaries), piuparts (install, remove, purge: nothing left), autopkgtest
#     (debian/tests, in a chroot of the same minimal system), and reprotest (two builds,
#     apart in path, time, locale, umask and user: the same bytes)
#   debian.sh SOURCE-DIR arm64 OUT-DIR   cross-built; lintian; its kvo2-render under qemu-aarch64
#     writes amd64's still (docs/frame.png), byte for byte
set -uo pipefail
SRC=$1 ARCH=$2 OUT=$3
. "$(dirname "$0")/../e2e/lib.sh"
[ "$(id -u)" = 0 ] || skip_outside_ci "debootstrap and chroot need root"
need git dpkg-buildpackage debootstrap lintian piuparts autopkgtest reprotest faketime sudo qemu-aarch64
TOOL=$SRC/tools/debian.sh
cd "$SRC" || fail "no $SRC"
rm -rf "$OUT"

bash "$TOOL" build "$ARCH" "$OUT" 2>"$WORK/build.err" || fail "tools/debian.sh build $ARCH: $(tail -20 "$WORK/build.err")"
ok "$(tail -1 "$WORK/build.err")"
changes=$(ls "$OUT"/kvo_*_"$ARCH".changes) deb=$(ls "$OUT"/kvo_*_"$ARCH".deb) dsc=$(ls "$OUT"/kvo_*.dsc)
lintian --fail-on error,warning "$changes" >"$WORK/lintian.log" 2>"$WORK/lintian.err" && [ ! -s "$WORK/lintian.log" ] ||
    fail "lintian: $(cat "$WORK/lintian.log" "$WORK/lintian.err")"
ok "lintian ${changes##*/} (source and binaries): nothing to say"

if [ "$ARCH" = arm64 ]; then
    [ "$(dpkg-deb -f "$deb" Architecture)" = arm64 ] || fail "${deb##*/}: Architecture $(dpkg-deb -f "$deb" Architecture)"
    dpkg-deb -x "$deb" "$WORK/root" || fail "dpkg-deb -x $deb"
    arm() { qemu-aarch64 -L / "$WORK/root/usr/bin/$1" "${@:2}"; }
    version=$(arm kvo2 --version) && [ "$version" = "kvo2 $(dpkg-parsechangelog -S Version | cut -d- -f1)" ] ||
        fail "arm64 kvo2 --version: $version"
    arm kvo2-render --time 20000 --out "$WORK/still.png" && cmp -s "$WORK/still.png" docs/frame.png ||
        fail "the arm64 kvo2-render's still at 20000 ms is not docs/frame.png"
    ok "under qemu-aarch64: $version; kvo2-render's still at 20000 ms is amd64's, byte for byte"
    echo PASS
    exit 0
fi
grep -qE '^[0-9]+% tests passed' "$OUT/build-amd64.log" || fail "no unit tests ran in the build"
ok "the unit tests ran in the chroot: $(grep -E '^[0-9]+% tests passed' "$OUT/build-amd64.log")"

{ read -r base; read -r mirror suite components; } < <(bash "$TOOL" base) || fail "no base system"
piuparts --basetgz "$base" --mirror "$mirror ${components//,/ }" --distribution "$suite" "$deb" \
    >"$WORK/piuparts.log" 2>&1 || fail "piuparts: $(grep -E 'FAIL|ERROR' "$WORK/piuparts.log" | head -20)"
ok "piuparts ${deb##*/}: $(grep -o 'PASS: All tests\.' "$WORK/piuparts.log")"

mkdir "$WORK/testbed" && tar -C "$WORK/testbed" --numeric-owner -xzpf "$base" || fail "cannot unpack $base"
cp /etc/resolv.conf "$WORK/testbed/etc/"
autopkgtest "$deb" "$dsc" -- chroot "$WORK/testbed" >"$WORK/autopkgtest.log" 2>&1 ||
    fail "autopkgtest: $(tail -30 "$WORK/autopkgtest.log")"
ok "autopkgtest: $(awk '/@@@ summary/ { f = 1; next } f && $2 ~ /^(PASS|FAIL|SKIP)/ { printf "%s %s; ", $1, $2 }' "$WORK/autopkgtest.log")"

# The second build runs as another user, whom reprotest reaches through "sudo -h localhost",
# which sudo 1.9.13 refuses for a command: a sudo in front drops the host.
id -u kvo-build >/dev/null 2>&1 || useradd --system --user-group --no-create-home --home-dir /nonexistent \
    --shell /usr/sbin/nologin kvo-build || fail "cannot make the user kvo-build"
mkdir "$WORK/bin" && printf '#!/bin/sh\n[ "$1 $2" != "-h localhost" ] || shift 2\nexec /usr/bin/sudo "$@"\n' >"$WORK/bin/sudo" &&
    chmod +x "$WORK/bin/sudo" || fail "cannot make the sudo wrapper"
(cd "$OUT" && PATH=$WORK/bin:$PATH DEB_BUILD_OPTIONS=nocheck reprotest --store-dir="$WORK/reprotest" \
    --vary=-all,+build_path,+time,+locales,+umask,+user_group --vary=user_group.available+=kvo-build:kvo-build \
    "${dsc##*/}" -- null) >"$WORK/reprotest.log" 2>&1 || fail "reprotest: $(tail -30 "$WORK/reprotest.log")"
ok "reprotest, path, time, locale, umask and user apart: $(grep -m1 '^No differences' "$WORK/reprotest.log")"
echo PASS
