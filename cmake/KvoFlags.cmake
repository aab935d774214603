# Compiler settings every target of Kvo shares.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  message(FATAL_ERROR "Kvo needs GCC or Clang: its frames use the 80-bit long double")
endif()

add_compile_options(-Wall -Wextra -Werror
  # a * b + c must stay two roundings, never one fused operation
  -ffp-contract=off)

# The project's version, as the programs print it (kvo2 --version): the
# string literal KVO_VERSION in every C and C++ file.
add_compile_definitions($<$<COMPILE_LANGUAGE:C,CXX>:KVO_VERSION="${PROJECT_VERSION}">)

# A program records only the shared libraries it calls, so that the .deb's
# Depends, which dpkg-shlibdeps reads from the programs, name exactly those:
# CMake's FindPNG, for one, links zlib, which Kvo never calls. (Debian's GCC
# links this way by default; its Clang, and GCC elsewhere, do not.)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  add_link_options(LINKER:--as-needed)
endif()

# On 32-bit x86, doubles must be doubles: keep them in SSE registers, away
# from the x87's excess precision. long double stays on the x87.
if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND CMAKE_SYSTEM_PROCESSOR MATCHES "i.86|x86|X86|AMD64|x86_64")
  add_compile_options(-msse2 -mfpmath=sse)
endif()

option(KVO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(KVO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# The fuzz build: every file carries libFuzzer's edge and comparison hooks, so
# the fuzzer is guided by the code it calls, not only by the target's own.
if(KVO_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
