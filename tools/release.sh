#!/usr/bin/env bash
# Makes a release of the current commit into build/release/ (or OUT):
#   the Debian source package (kvo_<version>-<revision>.dsc, its .orig.tar.gz
#   and .debian.tar.xz; tools/debian.sh) and its packages built from it in a
#   clean chroot, kvo_<version>-<revision>_amd64.deb and _arm64.deb (cross-built),
#   kvo-<version>-windows-x86.zip and .exe (the setup), the same for x64,
#   kvo-<version>-web.zip (the page's static files), kvo-<version>.tar.gz
#   (the commit's source), and SHA256SUMS over them (sha256sum -c checks).
# Every file is the same, byte for byte, whoever builds the commit, wherever
# and whenever: each time stamp is SOURCE_DATE_EPOCH (by default the commit's
# date), no build path reaches a binary, and locale, time zone and umask are
# fixed; the Debian files' times are the Debian changelog's. Installs what it
# needs (tools/deps.sh) unless KVO_NO_DEPS=1. Needs root, for the chroot.
# KVO_DEBIAN_CACHE: where the chroot's base system and packages are kept
# (tools/debian.sh).
#   bash tools/release.sh [OUT]
set -euo pipefail
cd "$(dirname "$0")/.."
OUT=$(realpath -m "${1:-build/release}")
[ "${KVO_NO_DEPS:-}" = 1 ] || bash tools/deps.sh

# One commit throughout, whatever HEAD does meanwhile.
KVO_COMMIT=$(git rev-parse HEAD)
export KVO_COMMIT
export LC_ALL=C.UTF-8 TZ=UTC SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct "$KVO_COMMIT")}
umask 022
VERSION=$(git show "$KVO_COMMIT:CMakeLists.txt" | sed -n 's/^project(kvo VERSION \([0-9.]*\).*/\1/p')
[ -n "$VERSION" ] || { echo "release.sh: no version in CMakeLists.txt" >&2; exit 1; }
WORK=$OUT.work SRC=$OUT.work/kvo-$VERSION
rm -rf "$OUT" "$WORK"
mkdir -p "$OUT" "$WORK"

# The source: what the commit holds, nothing else; the tar's times are the
# commit's, and gzip records neither a name nor a time.
git archive --format=tar --prefix="kvo-$VERSION/" "$KVO_COMMIT" | gzip -9n >"$OUT/kvo-$VERSION.tar.gz"
tar -xzf "$OUT/kvo-$VERSION.tar.gz" -C "$WORK"

# build NAME [CMAKE-ARGS...]: the release build of the source into
# $WORK/NAME, its paths mapped away from every file it compiles (through
# CFLAGS and CXXFLAGS, which CMake puts before a toolchain's own flags).
build() {
    local name=$1 dir=$WORK/$1 map
    shift
    map="-ffile-prefix-map=$SRC=kvo-$VERSION -ffile-prefix-map=$dir=build"
    echo "== release: $name"
    CFLAGS=$map CXXFLAGS=$map cmake -S "$SRC" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DKVO_TESTS=OFF \
        -DKVO_BENCH=OFF "$@" >"$dir.log" 2>&1 &&
        cmake --build "$dir" -j"$(nproc)" >>"$dir.log" 2>&1 || { tail -30 "$dir.log"; exit 1; }
}

# pack NAME GENERATORS FILE...: CPack's packages of build NAME, into OUT.
pack() {
    local name=$1 generators=$2 file
    shift 2
    (cd "$WORK/$name" && cpack -G "$generators" -B "$WORK/$name/packages" >>"$WORK/$name.log" 2>&1) ||
        { tail -30 "$WORK/$name.log"; exit 1; }
    for file in "$@"; do cp "$WORK/$name/packages/$file" "$OUT/"; done
}

# The Debian source package, and the packages built from it in a clean chroot (the tests
# are the suite's).
echo "== release: the Debian source package, and its packages for amd64 and arm64"
bash tools/debian.sh source "$OUT" >/dev/null
for arch in amd64 arm64; do
    DEB_BUILD_OPTIONS=nocheck bash tools/debian.sh build $arch "$WORK/debian"
    cp "$WORK"/debian/kvo_*_$arch.deb "$OUT/"
done
for arch in x86:i686 x64:x86_64; do
    build "windows-${arch%:*}" -DCMAKE_TOOLCHAIN_FILE="$SRC/cmake/mingw-${arch#*:}.cmake" -DKVO_TOOLS=OFF
    pack "windows-${arch%:*}" "ZIP;NSIS" "kvo-$VERSION-windows-${arch%:*}.zip" "kvo-$VERSION-windows-${arch%:*}.exe"
done

# The web page: its static files in one zip, in name order, each with the
# release's time and the same mode, and nothing else of the file system.
build web -DCMAKE_TOOLCHAIN_FILE="$SRC/cmake/wasm32-wasi.cmake" -DCMAKE_INSTALL_PREFIX="$WORK/web-site"
cmake --install "$WORK/web" >>"$WORK/web.log"
cp "$SRC/kvo2/web/README.txt" "$WORK/web-site/"
python3 - "$WORK/web-site" "$OUT/kvo-$VERSION-web.zip" <<'ZIP'
import os, sys, time, zipfile
site, out = sys.argv[1], sys.argv[2]
when = time.gmtime(int(os.environ["SOURCE_DATE_EPOCH"]))[:6]
with zipfile.ZipFile(out, "w") as archive:
    names = sorted(os.path.relpath(os.path.join(folder, file), site)
                   for folder, _, files in os.walk(site) for file in files)
    for name in names:
        entry = zipfile.ZipInfo(name, date_time=max(when, (1980, 1, 1, 0, 0, 0)))
        entry.compress_type = zipfile.ZIP_DEFLATED
        entry.create_system = 3  # Unix, for the mode below
        entry.external_attr = 0o100644 << 16
        with open(os.path.join(site, name), "rb") as f:
            archive.writestr(entry, f.read())
ZIP

(cd "$OUT" && find . -maxdepth 1 -type f ! -name SHA256SUMS -printf '%P\n' | sort | xargs sha256sum >SHA256SUMS)
rm -rf "$WORK"
echo "release $VERSION (${KVO_COMMIT:0:12}) in $OUT:"
cat "$OUT/SHA256SUMS"
