# Makes a program's manual page from its --help (see help2man.awk), and
# beside it the page gzipped without a name or time stamp (FILE.1.gz):
#   cmake -DPROGRAM=EXE [-DEMULATOR=RUNNER] -DNAME=NAME -DVERSION=V
#         -DSUMMARY=TEXT -DOUT=FILE.1 -P help2man.cmake
execute_process(COMMAND ${EMULATOR} ${PROGRAM} --help OUTPUT_FILE ${OUT}.txt RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help failed: ${status}")
endif()
execute_process(
  COMMAND awk -v name=${NAME} -v version=${VERSION} -v summary=${SUMMARY}
          -f ${CMAKE_CURRENT_LIST_DIR}/help2man.awk ${OUT}.txt
  OUTPUT_FILE ${OUT}.tmp RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "help2man.awk failed: ${status}")
endif()
file(RENAME ${OUT}.tmp ${OUT})
execute_process(COMMAND gzip -9nkf ${OUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip ${OUT} failed: ${status}")
endif()
