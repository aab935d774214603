# Cross build for Windows with MinGW-w64, for the target triple in
# KVO_MINGW_TRIPLE: a static, self-contained program that needs no DLL beyond
# Windows' own. Included by the per-processor toolchain files.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${KVO_MINGW_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${KVO_MINGW_TRIPLE}-g++)
set(CMAKE_RC_COMPILER ${KVO_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KVO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
