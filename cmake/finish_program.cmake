# Run after a shipped program is linked (see ShipProgram.cmake). On any
# failure the program is removed, so that the next build links it again
# instead of taking an unstripped or unsigned file for finished.
#   PROGRAM, STRIP, OBJCOPY, SIGN, OSSLSIGNCODE, CERT, KEY, PASSWORD_FILE,
#   TIMESTAMP_URL, DESCRIPTION

function(step)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    file(REMOVE "${PROGRAM}" "${PROGRAM}.signed")
    list(GET ARGN 0 tool)
    get_filename_component(tool "${tool}" NAME)
    message(FATAL_ERROR "${tool} failed on ${PROGRAM} (${result}):\n${output}")
  endif()
endfunction()

if(STRIP)
  step("${OBJCOPY}" --only-keep-debug "${PROGRAM}" "${PROGRAM}.debug")
  step("${OBJCOPY}" --strip-all "--add-gnu-debuglink=${PROGRAM}.debug" "${PROGRAM}")
endif()

if(SIGN)
  set(options -certs "${CERT}" -key "${KEY}" -h sha256 -n "${DESCRIPTION}")
  if(PASSWORD_FILE)
    list(APPEND options -readpass "${PASSWORD_FILE}")
  endif()
  if(TIMESTAMP_URL)
    list(APPEND options -t "${TIMESTAMP_URL}")
  endif()
  file(REMOVE "${PROGRAM}.signed")
  step("${OSSLSIGNCODE}" sign ${options} -in "${PROGRAM}" -out "${PROGRAM}.signed")
  file(RENAME "${PROGRAM}.signed" "${PROGRAM}")
  # osslsigncode writes a plain file; the program stays one that runs.
  file(CHMOD "${PROGRAM}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
endif()
