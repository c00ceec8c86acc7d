# cmake -DCMD=prog;args -DFILE=f -P silent.cmake: runs CMD FILE and fails
# when it fails or says anything (a linter's warnings).
execute_process(COMMAND ${CMD} ${FILE} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT out STREQUAL "")
  message(FATAL_ERROR "${CMD} ${FILE} (status ${rc}):\n${out}")
endif()
