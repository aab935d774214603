# The kernel sets of this build, for its processor family, and the selector
# that picks the fastest this processor runs. Each set is one source file
# (plus the chunk and band files it includes) compiled with its own flags;
# the list of sets is written into kernel_sets.h for the selector. Included by
# ukvo2/CMakeLists.txt, so paths start at ukvo2/.
#
# To add an instruction set: its file, and one kvo_kernel_set() line below.
# ukvo2_emulated holds sets that portable code runs on any processor of the
# family, which only tests and benchmarks link.

# kvo_kernel_set(LIBRARY NAME SOURCE [COMPILE OPTIONS...]): the set NAME,
# compiled from SOURCE with its own options into the objects LIBRARY_NAME,
# which LIBRARY holds. A source may make more than one set, compiled once
# per set with other options.
function(kvo_kernel_set library name source)
  set(objects ${library}_${name})
  add_library(${objects} OBJECT ${source})
  target_include_directories(${objects} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_options(${objects} PRIVATE ${ARGN})
  target_sources(${library} PRIVATE $<TARGET_OBJECTS:${objects}>)
  set_property(TARGET ${library} APPEND PROPERTY KVO_KERNEL_SETS ${name})
endfunction()

# kvo_kernel_selector(LIBRARY): the selector over LIBRARY's sets, plain first.
function(kvo_kernel_selector library)
  get_target_property(sets ${library} KVO_KERNEL_SETS)
  if(NOT sets)
    set(sets)
  endif()
  set(list "// The kernel sets of this build, slowest first (written by CMake).\nKVO_KERNEL_SET(plain)\n")
  foreach(set ${sets})
    string(APPEND list "KVO_KERNEL_SET(${set})\n")
  endforeach()
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${library})
  file(CONFIGURE OUTPUT ${dir}/kernel_sets.h CONTENT "${list}")
  target_sources(${library} PRIVATE kernels/select.cpp)
  target_include_directories(${library} PRIVATE ${dir})
endfunction()

include(CheckCXXSourceCompiles)
check_cxx_source_compiles([=[
#if !defined(__i386__) && !defined(__x86_64__)
#error not x86
#endif
int main() { return 0; }
]=] KVO_X86)
check_cxx_source_compiles([=[
#if !defined(__aarch64__)
#error not 64-bit ARM
#endif
int main() { return 0; }
]=] KVO_ARM64)

# The emulated sets, for tests and benchmarks only (EmulatedKernelSets).
add_library(ukvo2_emulated STATIC kernels/emulated.cpp)
target_link_libraries(ukvo2_emulated PUBLIC ukvo2)

if(KVO_X86)
  target_sources(ukvo2 PRIVATE kernels/cpu_x86.cpp)
  kvo_kernel_set(ukvo2 sse2 kernels/x86/sse2.cpp -msse2)
  kvo_kernel_set(ukvo2 avx2 kernels/x86/avx2.cpp -mavx2)
  kvo_kernel_set(ukvo2 avx512 kernels/x86/avx512.cpp -mavx512f -mavx512bw)
  if(WIN32)
    # Windows does not align the stack beyond 16 bytes, and GCC's spills of
    # wider vectors would assume it; unaligned moves cost nothing here.
    target_compile_options(ukvo2_avx2 PRIVATE -Wa,-muse-unaligned-vector-move)
    target_compile_options(ukvo2_avx512 PRIVATE -Wa,-muse-unaligned-vector-move)
  endif()
  kvo_kernel_selector(ukvo2)
  # The AVX-512 set again, from the same source on SIMDe's portable
  # instructions, for the tests and benchmarks on processors without AVX-512
  # (Debian: libsimde-dev). Built for the family's baseline, so wide vectors
  # pass in memory: every function that takes them has internal linkage, and
  # the ABI note is moot. SIMDe's portable lanes wrap as the instructions do,
  # by C++'s signed arithmetic: -fwrapv defines it (and keeps the sanitizers
  # quiet there).
  find_path(SIMDE_INCLUDE_DIR simde/x86/avx512.h)
  if(SIMDE_INCLUDE_DIR AND NOT WIN32)
    kvo_kernel_set(ukvo2_emulated avx512_emulated kernels/x86/avx512.cpp
      -DKVO_AVX512_EMULATED -Wno-psabi -fwrapv)
    target_include_directories(ukvo2_emulated_avx512_emulated SYSTEM PRIVATE ${SIMDE_INCLUDE_DIR})
    target_compile_definitions(ukvo2_emulated PRIVATE KVO_EMULATED_AVX512)
  elseif(KVO_TESTS AND NOT WIN32)
    message(FATAL_ERROR "The tests need SIMDe to check the AVX-512 kernels: bash tools/deps.sh installs it")
  endif()
elseif(CMAKE_SYSTEM_NAME STREQUAL "WASI")
  # WebAssembly: a module that uses SIMD does not load where SIMD is missing,
  # so the kernel sets come as two libraries, one per module: ukvo2_plain
  # with the plain kernels alone, ukvo2_simd128 with the SIMD128 ones too.
  add_library(ukvo2_plain STATIC)
  add_library(ukvo2_simd128 STATIC)
  target_link_libraries(ukvo2_plain PUBLIC ukvo2)
  target_link_libraries(ukvo2_simd128 PUBLIC ukvo2)
  target_compile_options(ukvo2_simd128 PUBLIC -msimd128)
  kvo_kernel_set(ukvo2_simd128 simd128 kernels/wasm/simd128.cpp -msimd128)
  kvo_kernel_selector(ukvo2_plain)
  kvo_kernel_selector(ukvo2_simd128)
elseif(KVO_ARM64)
  # NEON is part of every 64-bit ARM processor: no run-time probe.
  kvo_kernel_set(ukvo2 neon kernels/arm64/neon.cpp)
  kvo_kernel_selector(ukvo2)
else()
  kvo_kernel_selector(ukvo2)
endif()
