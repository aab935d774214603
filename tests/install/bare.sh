#!/usr/bin/env bash
# The .deb on a minimal Debian of this release: apt-get installs it with its Depends alone, the
# programs run, and apt-get purge leaves none of its paths.   bare.sh BUILD-DIR SOURCE-DIR
set -uo pipefail
BUILD=$1 SRC=$2
. "$(dirname "$0")/../e2e/lib.sh"
[ "$(id -u)" = 0 ] || skip_outside_ci "debootstrap and chroot need root"
need cpack dpkg-deb debootstrap chroot apt-get wget flock sha256sum tar mount umount findmnt
ROOT=$WORK/root START=$SECONDS

# Whatever is mounted under WORK goes before WORK itself, deepest first (lazily
# where a plain unmount fails); then the trees, never crossing into a mount.
unmount_all() {
    local m
    for m in $(findmnt -rn -o TARGET | grep "^$WORK/" | sort -r); do
        umount "$m" 2>/dev/null || umount -l "$m"
    done
    rm -rf --one-file-system "$ROOT"
}
AT_EXIT+=(unmount_all)

deb "$BUILD"

# The bare system: debootstrap's minimal Debian of this release, as tools/debian.sh keeps it.
if ! { read -r TARBALL; read -r MIRROR SUITE COMPONENTS; } < <(bash "$SRC/tools/debian.sh" base 2>"$WORK/base.err"); then
    ! grep -q 'cannot read' "$WORK/base.err" || skip_outside_ci "$(cat "$WORK/base.err")"
    fail "tools/debian.sh base: $(tail -5 "$WORK/base.err")"
fi
mkdir "$ROOT" && tar -C "$ROOT" --numeric-owner -xzpf "$TARBALL" || fail "cannot unpack $TARBALL"
ok "bare $SUITE ($COMPONENTS) from $MIRROR in $((SECONDS - START)) s"

cp /etc/resolv.conf "$ROOT/etc/resolv.conf" && cp "$DEB" "$ROOT/tmp/" || fail "cannot copy into $ROOT"
mount -t proc proc "$ROOT/proc" || fail "cannot mount /proc in $ROOT"
# in_root COMMAND...: COMMAND in the bare system, in a plain environment.
in_root() {
    chroot "$ROOT" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LC_ALL=C.UTF-8 \
        DEBIAN_FRONTEND=noninteractive "$@" 8>&-
}

# The package, and nothing but what its Depends bring.
{ in_root apt-get update && in_root apt-get install -y --no-install-recommends "/tmp/${DEB##*/}"; } \
    >"$WORK/apt.log" 2>&1 || fail "apt-get install: $(tail -20 "$WORK/apt.log")"
ok "apt-get install ${DEB##*/}: $(grep -c '^Setting up ' "$WORK/apt.log") packages set up, in $((SECONDS - START)) s"

# The programs run there: kvo2 says its version, alone on standard output;
# kvo2-render writes a still and a clip in every format of its --help (the
# usage's line with --time names the stills, the lines from --from on the clips).
run() {
    in_root "$@" >"$WORK/out" 2>"$WORK/err" || fail "$*: status $?: $(cat "$WORK/out" "$WORK/err")"
}
run kvo2 --version
[ "$(cat "$WORK/out")" = "kvo2 $VERSION" ] && [ ! -s "$WORK/err" ] ||
    fail "kvo2 --version: \"$(cat "$WORK/out")\", want kvo2 $VERSION; stderr: $(cat "$WORK/err")"
ok "kvo2 --version: $(cat "$WORK/out")"
run kvo2-render --help
usage=$(sed '/^$/q' "$WORK/out")
stills=$(grep -e '--time' <<<"$usage" | grep -o 'FILE\.[a-z0-9]*' | cut -d. -f2)
clips=$(sed -n '/--from/,$p' <<<"$usage" | grep -o 'FILE\.[a-z0-9]*' | cut -d. -f2)
[ -n "$stills" ] && [ -n "$clips" ] || fail "kvo2-render --help names no still or no clip format: $usage"
mkdir "$ROOT/tmp/out"
# write FILE ARGS...: kvo2-render writes /tmp/out/FILE, not empty.
write() {
    run kvo2-render "${@:2}" --out "/tmp/out/$1"
    [ -s "$ROOT/tmp/out/$1" ] || fail "kvo2-render wrote an empty $1"
}
for format in $stills; do write "still.$format" --time 12345; done
for format in $clips; do write "clip.$format" --from 0 --to 500 --fps 10; done
ok "kvo2-render wrote a still ("$stills") and 5 frames of clip ("$clips")"

# apt-get purge: none of the paths dpkg listed for the package are left,
# but for folders that other packages hold too.
listed=$(in_root dpkg-query -L kvo | grep -vx '/\.') || fail "dpkg-query -L kvo"
in_root apt-get purge -y kvo >"$WORK/purge.log" 2>&1 || fail "apt-get purge kvo: $(tail -20 "$WORK/purge.log")"
status=$(in_root dpkg-query -W -f '${db:Status-Status}' kvo 2>/dev/null)
[ -z "$status" ] || [ "$status" = not-installed ] || fail "after apt-get purge, kvo is $status"
left=() shared=0
while read -r path; do
    if [ -d "$ROOT$path" ] && [ ! -L "$ROOT$path" ] && in_root dpkg-query -S "$path" >/dev/null 2>&1; then
        shared=$((shared + 1))
    elif [ -e "$ROOT$path" ] || [ -L "$ROOT$path" ]; then
        left+=("$path")
    fi
done <<<"$listed"
[ ${#left[@]} = 0 ] || fail "apt-get purge kvo left: ${left[*]}"
ok "apt-get purge kvo: none of its $(wc -l <<<"$listed") paths left ($shared folders of other packages kept)"
echo "PASS in $((SECONDS - START)) s"
