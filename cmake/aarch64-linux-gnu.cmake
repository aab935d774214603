# Cross build for 64-bit ARM Linux with clang and lld, against Debian's arm64
# multiarch packages (dpkg --add-architecture arm64; see tools/deps.sh). The
# programs and tests run on this machine under qemu-aarch64.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

set(CMAKE_C_COMPILER clang)
set(CMAKE_C_COMPILER_TARGET aarch64-linux-gnu)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_CXX_COMPILER_TARGET aarch64-linux-gnu)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld")
# The host's GNU strip reads no ARM programs; LLVM's reads them all (CPack
# strips the package's programs with it).
find_program(CMAKE_STRIP NAMES llvm-strip llvm-strip-14 REQUIRED)
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-fuse-ld=lld")

# Headers and libraries of the target only: /usr/include is shared, the
# libraries lie in /usr/lib/aarch64-linux-gnu.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/aarch64-linux-gnu/pkgconfig:/usr/share/pkgconfig)

set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64;-L;/)
