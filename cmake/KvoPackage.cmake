# The packages, made by CPack from the install rules: on Linux a .deb whose
# dependencies are read from the binaries, on Windows a zip and a setup
# program (KvoSetup.cmake).
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME kvo)
set(CPACK_PACKAGE_VENDOR Kvo)
set(CPACK_PACKAGE_CONTACT "${KVO_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time Julia set demo with a zoom blur")
# The description ends with kvo2-render's formats, from their table
# (KvoFormats.cmake; the install test checks that it names every one its
# --help lists), and is wrapped as lintian asks, in lines of at most 80
# characters.
kvo_wrap(CPACK_PACKAGE_DESCRIPTION "Kvo opens one window and animates, for ever, a Julia \
set whose parameter travels along the edge of the Mandelbrot set, smeared outwards by an \
in-place zoom blur. ${KVO_RENDER_ABOUT}" 78 "")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)
# A release's packages carry its time, not the build's (tools/release.sh).
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/KvoStagedTimes.cmake)

if(WIN32)
  set(CPACK_GENERATOR ZIP NSIS)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_PACKAGE_FILE_NAME kvo-${PROJECT_VERSION}-windows-x64)
  else()
    set(CPACK_PACKAGE_FILE_NAME kvo-${PROJECT_VERSION}-windows-x86)
  endif()
  include(${CMAKE_CURRENT_LIST_DIR}/KvoSetup.cmake)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
  # A cross build's package is for the processor it builds for; its
  # Depends, read by dpkg-shlibdeps, name that processor's libraries.
  if(CMAKE_CROSSCOMPILING AND CMAKE_SYSTEM_PROCESSOR STREQUAL "aarch64")
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
  endif()
endif()

include(CPack)
