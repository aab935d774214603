#!/usr/bin/env bash
# Kvo's Debian source package, and its packages built from it as a user would,
# in a clean chroot of this machine's Debian release (root only):
#   bash tools/debian.sh source [OUT]        the source package of the commit
#   bash tools/debian.sh build [ARCH] [OUT]  ... and its packages for ARCH
#                                            (amd64, or arm64 cross-built)
#   bash tools/debian.sh package [ARCH] [OUT] its packages built here, with what
#                                            this machine has, without their tests
#                                            or debugging symbols (as a release
#                                            takes them; no root)
#   bash tools/debian.sh base                the minimal chroot's tarball, then
#                                            the mirror, release and components
# OUT is build/debian/ by default; the source is the commit KVO_COMMIT (by
# default HEAD) as git archive gives it. The chroot is debootstrap's minbase from
# the mirror apt already reads, kept in build/debian/base/ and unpacked afresh
# for every build; the build installs only what debian/control asks for, and
# runs the unit tests there (not in a cross build). Installs debootstrap and
# dpkg-dev where missing.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
COMMAND=${1:-build} COMMIT=$(git rev-parse "${KVO_COMMIT:-HEAD}^{commit}")
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

# package ARCH OUT: the binary packages from the source package, built here (the tests are the
# suite's); a log beside them.
package() {
    local arch=$1 out=$2 options=() work
    source_package "$out"
    [ "$arch" = "$(dpkg --print-architecture)" ] || options=(--host-arch "$arch" -Pcross,nocheck,pkg.kvo.novideo)
    work=$(mktemp -d)
    {
        dpkg-source -x "$DSC" "$work/kvo" &&
            (cd "$work/kvo" && env -u DEB_BUILD_PROFILES SOURCE_DATE_EPOCH="$(changelog_time)" \
                DEB_BUILD_OPTIONS="nocheck noddebs parallel=$(nproc)" dpkg-buildpackage -b -us -uc "${options[@]}")
    } >"$out/package-$arch.log" 2>&1 || { tail -40 "$out/package-$arch.log" >&2; rm -rf "$work"; exit 1; }
    cp "$work"/*.deb "$out/"
    rm -rf "$work"
}

# base: the gzipped tarball (as piuparts takes it) of debootstrap's minimal system of this release and processor, made once
# per release of the mirror's index (a changed mirror gives a new one), as BASE.
base() {
    local suite arch mirror components release cache=$ROOT/build/debian/base
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

# build ARCH OUT: the packages, from the source package, in a fresh chroot; a log beside them.
build() {
    local arch=$1 out=$2 options=() start=$SECONDS
    source_package "$out"
    base
    CHROOT=$(mktemp -d "$ROOT/build/debian/chroot.XXXXXX")
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
    mkdir -p "$ROOT/build/debian/archives/partial"
    mount --bind "$ROOT/build/debian/archives" "$chroot/var/cache/apt/archives"
    mkdir "$chroot/build"
    cp "$DSC" "$out"/kvo_*.orig.tar.gz "$out"/kvo_*.debian.tar.xz "$chroot/build/"
    if [ "$arch" != "$(dpkg --print-architecture)" ]; then
        options=(--host-arch "$arch" -Pcross,nocheck,pkg.kvo.novideo)
        in_chroot "$chroot" dpkg --add-architecture "$arch"
    fi
    # One build at a time fetches into the kept packages.
    exec 6>"$ROOT/build/debian/archives.lock"
    flock 6
    {
        in_chroot "$chroot" apt-get update &&
            in_chroot "$chroot" apt-get install -y --no-install-recommends build-essential dpkg-dev \
                ${options:+crossbuild-essential-$arch} &&
            in_chroot "$chroot" apt-get build-dep -y --no-install-recommends ${options:+-a "$arch" -P cross,nocheck,pkg.kvo.novideo} \
                "/build/${DSC##*/}" &&
            flock -u 6 &&
            in_chroot "$chroot" useradd --create-home builder &&
            in_chroot "$chroot" chown -R builder: /build &&
            in_chroot "$chroot" setpriv --reuid=builder --regid=builder --init-groups -- env HOME=/home/builder \
                sh -c "cd /build && dpkg-source -x ${DSC##*/} kvo && cd kvo && dpkg-buildpackage -us -uc ${options[*]}"
    } >"$out/build-$arch.log" 2>&1 || { tail -40 "$out/build-$arch.log" >&2; exit 1; }
    cmp -s "$chroot/build/${DSC##*/}" "$DSC" || { echo "debian.sh: the build made another ${DSC##*/}" >&2; exit 1; }
    cp "$chroot"/build/*.deb "$chroot"/build/*.changes "$chroot"/build/*.buildinfo "$out/"
    echo "debian.sh: kvo for $arch built in a clean chroot in $((SECONDS - start)) s: $out" >&2
}

case $COMMAND in
    source) source_package "$(realpath -m "${2:-build/debian}")"; echo "$DSC" ;;
    base) base; echo "$BASE"; echo "$MIRROR $SUITE $COMPONENTS" ;;
    build | package) "$COMMAND" "${2:-$(dpkg --print-architecture)}" "$(realpath -m "${3:-build/debian}")" ;;
    *) echo "usage: debian.sh source|build|package|base [...]" >&2; exit 2 ;;
esac
