# The WASI platform for CMake versions that do not know it: Unix paths,
# modules named .wasm.
include(Platform/UnixPaths)
set(CMAKE_EXECUTABLE_SUFFIX .wasm)
