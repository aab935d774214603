#!/usr/bin/env bash
# Kvo's Debian source package, and its packages built from it as a user would,
# in a clean chroot of this machine's Debian release (root only):
#   bash tools/debian.sh source [OUT]        the source package of the commit
#   bash tools/debian.sh build [ARCH] [OUT]  ... and its packages for ARCH
#                                            (amd64, or arm64 cross-built)
#   bash tools/debian.sh base                the minimal chroot's tarball, then
#                                            the mirror, release and components
# OUT is build/debian/ by default; the source is the commit KVO_COMMIT (by
# default HEAD) as git archive gives it. The chroot is debootstrap's minbase from
# the mirror apt already reads, kept in build/debian/base/ (or KVO_DEBIAN_CACHE/base/)
# and unpacked afresh for every build; the build installs only what debian/control
# asks for, and runs the unit tests there (not in a cross build, nor with
# DEB_BUILD_OPTIONS=nocheck, as a release builds). Installs debootstrap and
# dpkg-dev where missing.
set -euo pipefail
cd "$(dirname "$0")/.."
COMMAND=${1:-build} COMMIT=$(git rev-parse "${KVO_COMMIT:-HEAD}^{commit}")
CACHE=$(realpath -m "${KVO_DEBIAN_CACHE:-build/debian}")
export LC_ALL=C.UTF-8 TZ=UTC
umask 022

need() {
    local missing=() p
    for p in "$@"; do dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p"); done
    [ ${#missing[@]} = 0 ] || DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}" >&2
}

# changelog_time [FILE]: the newest changelog entry's time, in seconds since 1970, which every time
# stamp of the source package and its packages is.
changelog_time() { date -d "$(dpkg-parsechangelog ${1:+-l "$1"} -S Date)" +%s; }

# source OUT: kvo_V.orig.tar.gz (the commit without debian/), kvo_V-R.debian.tar.xz and
# the .dsc, each time stamp the changelog's.
source_package() {
    local out=$1 version upstream work
    need dpkg-dev
    version=$(git show "$COMMIT:debian/changelog" | dpkg-parsechangelog -l- -S Version) upstream=${version%-*}
    work=$(mktemp -d)
    # Modes as dpkg-source -x leaves them under the usual umask (git archive's own is 002), so that
    # a build that makes the source package again makes the same bytes.
    git -c tar.umask=022 archive --format=tar --prefix="kvo-$upstream/" "$COMMIT" ':!debian' | gzip -9n \
        >"$work/kvo_$upstream.orig.tar.gz"
    tar -xzf "$work/kvo_$upstream.orig.tar.gz" -C "$work"
    git -c tar.umask=022 archive --format=tar "$COMMIT" debian | tar -x -C "$work/kvo-$upstream"
    (cd "$work" && SOURCE_DATE_EPOCH=$(changelog_time "kvo-$upstream/debian/changelog") dpkg-source -b "kvo-$upstream" >/dev/null)
    mkdir -p "$out"
    cp "$work"/kvo_"$version".dsc "$work"/kvo_"$upstream".orig.tar.gz "$work"/kvo_"$version".debian.tar.xz "$out/"
    rm -rf "$work"
    DSC=$out/kvo_$version.dsc
}

# base: the gzipped tarball (as piuparts takes it) of debootstrap's minimal system of this release and processor, made once
# per release of the mirror's index (a changed mirror gives a new one), as BASE.
base() {
    local suite arch mirror components release cache=$CACHE/base
    [ "$(id -u)" = 0 ] || { echo "debian.sh: debootstrap and chroot need root" >&2; exit 1; }
    need debootstrap wget
    suite=$(. /etc/os-release && echo "$VERSION_CODENAME") arch=$(dpkg --print-architecture)
    read -r mirror components < <(apt-get indextargets --format '$(REPO_URI) $(COMPONENT)' 'Identifier: Packages' \
        "Release: $suite" "Architecture: $arch" | awk '!m { m = $1 } $1 == m { c = c (c ? "," : "") $2 }
        END { if (m) print m, c }')
    [ -n "${mirror:-}" ] || { echo "debian.sh: apt here reads no $suite for $arch" >&2; exit 1; }
    release=$(wget -qO- "${mirror}dists/$suite/InRelease" | sha256sum | cut -c1-16) ||
        { echo "debian.sh: cannot read ${mirror}dists/$suite/InRelease" >&2; exit 1; }
    BASE=$cache/minbase-$suite-$arch-$(sha256sum <<<"$mirror $components" | cut -c1-8)-$release.tgz
    MIRROR=$mirror SUITE=$suite COMPONENTS=$components
    mkdir -p "$cache"
    exec 7>"$cache/lock"
    flock 7
    if [ ! -f "$BASE" ]; then
        local made=$cache/make
        rm -rf --one-file-system "$made"
        debootstrap --variant=minbase --arch="$arch" --components="$components" "$suite" "$made" "$mirror" \
            >"$cache/debootstrap.log" 2>&1 7>&- || { tail -5 "$cache/debootstrap.log" >&2; exit 1; }
        rm -f "$cache"/minbase-"$suite"-"$arch"-*.tgz
        tar -C "$made" --numeric-owner -czf "$BASE.new" . && mv "$BASE.new" "$BASE"
        rm -rf --one-file-system "$made"
    fi
    flock -u 7
}

# in_chroot DIR COMMAND...: COMMAND in the chroot DIR, in a plain environment.
in_chroot() {
    chroot "$1" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LC_ALL=C.UTF-8 \
        DEBIAN_FRONTEND=noninteractive "${@:2}" 6>&- 7>&-
}

# retry COMMAND...: COMMAND, tried again twice after a pause where it fails (apt-get update
# while the mirror syncs).
retry() { "$@" || { sleep 20 && "$@"; } || { sleep 60 && "$@"; }; }

# build ARCH OUT: the packages, from the source package, in a fresh chroot; a log beside them.
build() {
    local arch=$1 out=$2 cross=() list=() profiles options=() start=$SECONDS
    source_package "$out"
    base
    # A cross build leaves out the tests and FFmpeg; DEB_BUILD_OPTIONS=nocheck, the tests.
    [[ " ${DEB_BUILD_OPTIONS:-} " != *" nocheck "* ]] || list=(nocheck)
    [ "$arch" = "$(dpkg --print-architecture)" ] || cross=(-a "$arch") list=(cross nocheck pkg.kvo.novideo)
    profiles=$(IFS=,; echo "${list[*]}")
    options=(${cross:+--host-arch "$arch"} ${profiles:+-P"$profiles"})
    CHROOT=$(mktemp -d "$CACHE/chroot.XXXXXX")
    trap 'umount "$CHROOT/var/cache/apt/archives" "$CHROOT/dev/pts" "$CHROOT/proc" 2>/dev/null
        rm -rf --one-file-system "$CHROOT"' EXIT
    local chroot=$CHROOT
    tar -C "$chroot" --numeric-owner -xzpf "$BASE"
    cp /etc/resolv.conf "$chroot/etc/resolv.conf"
    # Processes, and terminals of its own (the progress bar's test runs on one), as sbuild gives a build.
    mount -t proc proc "$chroot/proc"
    mkdir -p "$chroot/dev/pts"
    mount -t devpts -o newinstance,ptmxmode=0666,mode=620 devpts "$chroot/dev/pts"
    ln -sf pts/ptmx "$chroot/dev/ptmx"
    # The packages apt fetches, kept for the next build.
    mkdir -p "$CACHE/archives/partial"
    mount --bind "$CACHE/archives" "$chroot/var/cache/apt/archives"
    mkdir "$chroot/build"
    cp "$DSC" "$out"/kvo_*.orig.tar.gz "$out"/kvo_*.debian.tar.xz "$chroot/build/"
    [ -z "${cross[*]}" ] || in_chroot "$chroot" dpkg --add-architecture "$arch"
    # One build at a time fetches into the kept packages.
    exec 6>"$CACHE/archives.lock"
    flock 6
    {
        retry in_chroot "$chroot" apt-get update &&
            in_chroot "$chroot" apt-get install -y --no-install-recommends build-essential dpkg-dev \
                ${cross:+crossbuild-essential-$arch} &&
            in_chroot "$chroot" apt-get build-dep -y --no-install-recommends "${cross[@]}" ${profiles:+-P "$profiles"} \
                "/build/${DSC##*/}" &&
            flock -u 6 &&
            in_chroot "$chroot" useradd --create-home builder &&
            in_chroot "$chroot" chown -R builder: /build &&
            in_chroot "$chroot" setpriv --reuid=builder --regid=builder --init-groups -- env HOME=/home/builder \
                DEB_BUILD_OPTIONS="${DEB_BUILD_OPTIONS:-}" sh -c "cd /build && dpkg-source -x ${DSC##*/} kvo && cd kvo && dpkg-buildpackage -us -uc ${options[*]}"
    } >"$out/build-$arch.log" 2>&1 || { tail -40 "$out/build-$arch.log" >&2; exit 1; }
    cmp -s "$chroot/build/${DSC##*/}" "$DSC" || { echo "debian.sh: the build made another ${DSC##*/}" >&2; exit 1; }
    cp "$chroot"/build/*.deb "$chroot"/build/*.changes "$chroot"/build/*.buildinfo "$out/"
    echo "debian.sh: kvo for $arch built in a clean chroot in $((SECONDS - start)) s: $out" >&2
}

case $COMMAND in
    source) source_package "$(realpath -m "${2:-build/debian}")"; echo "$DSC" ;;
    base) base; echo "$BASE"; echo "$MIRROR $SUITE $COMPONENTS" ;;
    build) build "${2:-$(dpkg --print-architecture)}" "$(realpath -m "${3:-build/debian}")" ;;
    *) echo "usage: debian.sh source|build|base [...]" >&2; exit 2 ;;
esac
