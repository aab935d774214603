# 32-bit x86 Linux (i686) with the host's GCC (-m32, Debian's g++-multilib):
# the programs it builds run under qemu-i386, which CTest puts in front of
# every test, so they run the same on a kernel without 32-bit support.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
# Debian's i386 multiarch libraries (libgtest-dev:i386).
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)

set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386 -L /)
