# Makes a totals database in DIR with the library's own writer (six cycles of 1000 bytes
# received and 1 sent), then checks corvala-probe --totals on it, and that it left the
# database as it was.
file(REMOVE_RECURSE ${DIR})
file(MAKE_DIRECTORY ${DIR})
execute_process(COMMAND ${WRITER} ${DIR}/corvala.ini 6 RESULT_VARIABLE result OUTPUT_QUIET)
file(SHA256 ${DIR}/corvala.db before)
execute_process(COMMAND ${PROBE} --totals --db ${DIR}/corvala.db RESULT_VARIABLE probed OUTPUT_VARIABLE out)
file(SHA256 ${DIR}/corvala.db after)
if(NOT result EQUAL 0 OR NOT probed EQUAL 0 OR NOT before STREQUAL after)
    message(FATAL_ERROR "writer ${result}, probe ${probed}, database changed: ${before} ${after}")
endif()
if(NOT out STREQUAL "veth-t0\ttoday\t6000\t6\nveth-t0\tmonth\t6000\t6\n")
    message(FATAL_ERROR "unexpected totals: '${out}'")
endif()
