# run(COMMAND...): a step of a shipping check; the check fails with the
# step's output when the step does. RUN_TIMEOUT bounds each step (seconds).
if(NOT DEFINED RUN_TIMEOUT)
  set(RUN_TIMEOUT 120)
endif()

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output
    TIMEOUT ${RUN_TIMEOUT})
  if(NOT result EQUAL 0)
    string(REPLACE ";" " " command "${ARGN}")
    message(FATAL_ERROR "${command}\nfailed (${result}):\n${output}")
  endif()
endfunction()
