# kvo_manual_page(TARGET SUMMARY): the program TARGET's manual page in
# section 1, made from its own --help at build time (help2man.cmake), so that
# the two never differ, and installed gzipped as Debian's policy asks. A
# cross build makes it only where it can run the program
# (CMAKE_CROSSCOMPILING_EMULATOR).
function(kvo_manual_page target summary)
  if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
    return()
  endif()
  set(man ${CMAKE_CURRENT_BINARY_DIR}/${target}.1)
  add_custom_command(OUTPUT ${man} ${man}.gz
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${target}>
            "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}" -DNAME=${target}
            -DVERSION=${PROJECT_VERSION} "-DSUMMARY=${summary}"
            -DOUT=${man} -P ${PROJECT_SOURCE_DIR}/cmake/help2man.cmake
    DEPENDS ${target} ${PROJECT_SOURCE_DIR}/cmake/help2man.cmake ${PROJECT_SOURCE_DIR}/cmake/help2man.awk
    VERBATIM
    COMMENT "Making the manual page of ${target} from its --help")
  add_custom_target(${target}-man ALL DEPENDS ${man}.gz)
  install(FILES ${man}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
