# Sourced by the Windows tests: build_windows SRC DIR ARCH configures and
# builds the Windows program (with kvo2_wincheck) for i686 or x86_64 into DIR,
# quietly unless it fails.
build_windows() {
    local src=$1 dir=$2 arch=$3
    if ! { cmake -S "$src" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-$arch.cmake" \
               -DCMAKE_BUILD_TYPE=Release -DKVO_TESTS=OFF -DKVO_TOOLS=OFF -DKVO_WINCHECK=ON &&
           cmake --build "$dir" -j2; } >"$dir.log" 2>&1; then
        cat "$dir.log"
        fail "the $arch Windows build failed"
    fi
    ok "built $dir/kvo2/kvo2.exe"
}
