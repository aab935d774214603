# Run by CPack before it packs (CPACK_PRE_BUILD_SCRIPTS): where the release
# sets SOURCE_DATE_EPOCH, every staged file and folder takes that time, so
# that the packages and zips record no time of the build.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  file(GLOB_RECURSE staged LIST_DIRECTORIES true "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
  execute_process(COMMAND touch -h -d @$ENV{SOURCE_DATE_EPOCH} ${staged}
                          "${CPACK_TEMPORARY_INSTALL_DIRECTORY}"
                  COMMAND_ERROR_IS_FATAL ANY)
endif()
