# Runs widl and fails when it prints any warning.
execute_process(COMMAND ${WIDL} ${ARGS} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "widl failed (${rc}):\n${out}${err}")
endif()
if(err MATCHES "warning" OR out MATCHES "warning")
  message(FATAL_ERROR "widl warnings are errors:\n${out}${err}")
endif()
