# Signed copies of the launcher and of the recorder for the tests of which
# per-user updater a signed launcher starts: two throwaway certificates A and
# B, the launcher signed by A, the recorder signed by A, by B, and signed by A
# with one byte of its code changed afterwards.
#   OPENSSL, OSSLSIGNCODE, LAUNCHER, RECORDER, OUT_DIR
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed (${result}):\n${output}")
  endif()
endfunction()

file(MAKE_DIRECTORY ${OUT_DIR})
foreach(signer a b)
  if(NOT EXISTS ${OUT_DIR}/cert-${signer}.pem)
    run(${OPENSSL} req -x509 -newkey rsa:2048 -days 3650 -nodes -subj "/CN=Launcher Test Signer ${signer}"
      -addext extendedKeyUsage=codeSigning -keyout ${OUT_DIR}/key-${signer}.pem -out ${OUT_DIR}/cert-${signer}.pem)
  endif()
endforeach()

function(sign input signer output)
  file(REMOVE ${output})
  run(${OSSLSIGNCODE} sign -certs ${OUT_DIR}/cert-${signer}.pem -key ${OUT_DIR}/key-${signer}.pem -h sha256
    -in ${input} -out ${output})
endfunction()

sign(${LAUNCHER} a ${OUT_DIR}/launcher-a.exe)
sign(${RECORDER} a ${OUT_DIR}/record_args-a.exe)
sign(${RECORDER} b ${OUT_DIR}/record_args-b.exe)
# The signature of A on code that A did not sign: one byte of the code
# section, which starts at 0x400, changed.
sign(${RECORDER} a ${OUT_DIR}/record_args-a-changed.exe)
set(changed ${OUT_DIR}/record_args-a-changed.exe)
file(READ ${changed} old OFFSET 1040 LIMIT 1 HEX)
if(old STREQUAL "cc")
  set(new "\\220")
else()
  set(new "\\314")
endif()
run(sh -c "printf '${new}' | dd of='${changed}' bs=1 seek=1040 conv=notrunc status=none")
