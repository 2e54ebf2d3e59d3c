# Runs FUZZER once on every file of CORPUS: a regression check of the seeds,
# and of every reproducer kept there once its finding was mended.
#   cmake -DFUZZER=... -DCORPUS=... -DARTIFACTS=... -DLIMITS=... -P replay.cmake
file(GLOB inputs LIST_DIRECTORIES false ${CORPUS}/*)
list(LENGTH inputs count)
if(count EQUAL 0)
  message(FATAL_ERROR "No inputs in ${CORPUS}")
endif()
separate_arguments(limits UNIX_COMMAND "${LIMITS}")
file(MAKE_DIRECTORY ${ARTIFACTS})
execute_process(
  COMMAND ${FUZZER} ${limits} -artifact_prefix=${ARTIFACTS}/ ${inputs}
  RESULT_VARIABLE result
  TIMEOUT 100)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed on the corpus ${CORPUS}: ${result}")
endif()
message(STATUS "${count} inputs replayed")
