# The Windows packages, made by CPack from the install rules: a zip and a
# setup program (KvoSetup.cmake) for each processor.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME kvo)
set(CPACK_PACKAGE_VENDOR Kvo)
set(CPACK_PACKAGE_CONTACT "${KVO_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time Julia set demo with a zoom blur")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)
# A release's packages carry its time, not the build's (tools/release.sh).
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/KvoStagedTimes.cmake)

set(CPACK_GENERATOR ZIP NSIS)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(CPACK_PACKAGE_FILE_NAME kvo-${PROJECT_VERSION}-windows-x64)
else()
  set(CPACK_PACKAGE_FILE_NAME kvo-${PROJECT_VERSION}-windows-x86)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/KvoSetup.cmake)

include(CPack)
