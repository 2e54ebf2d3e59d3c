# After linking a shipped program: strip it, keeping its debug information in
# <program>.debug with a debug link to it (LAUNCHER_SPLIT_DEBUG, and every
# release), then sign it on Windows (LAUNCHER_SIGN_CERT / LAUNCHER_SIGN_KEY).
# Signing comes last: the signature covers the bytes as they ship.

if(NOT LAUNCHER_SIGN_CERT STREQUAL "")
  if(WIN32)
    find_program(LAUNCHER_OSSLSIGNCODE osslsigncode)
    if(NOT LAUNCHER_OSSLSIGNCODE)
      message(FATAL_ERROR "LAUNCHER_SIGN_CERT is set, but osslsigncode is not found: install it "
        "(the Debian package osslsigncode; scripts/bootstrap does) or set LAUNCHER_OSSLSIGNCODE")
    endif()
  else()
    message(WARNING "LAUNCHER_SIGN_CERT: Linux programs carry no signature; nothing is signed")
  endif()
endif()

set(LAUNCHER_FINISH_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/finish_program.cmake)

function(ship_program target)
  set(strip OFF)
  if((LAUNCHER_RELEASE OR LAUNCHER_SPLIT_DEBUG) AND NOT MSVC)
    if(NOT CMAKE_OBJCOPY)
      message(FATAL_ERROR "Stripping ${target} needs objcopy, which was not found (CMAKE_OBJCOPY)")
    endif()
    set(strip ON)
  endif()
  set(sign OFF)
  if(WIN32 AND NOT LAUNCHER_SIGN_CERT STREQUAL "")
    set(sign ON)
  endif()
  if(NOT strip AND NOT sign)
    return()
  endif()
  get_target_property(description ${target} PROGRAM_DESCRIPTION)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND}
      -DPROGRAM=$<TARGET_FILE:${target}>
      -DSTRIP=${strip} -DOBJCOPY=${CMAKE_OBJCOPY}
      -DSIGN=${sign} -DOSSLSIGNCODE=${LAUNCHER_OSSLSIGNCODE}
      -DCERT=${LAUNCHER_SIGN_CERT} -DKEY=${LAUNCHER_SIGN_KEY} -DPASSWORD_FILE=${LAUNCHER_SIGN_PASSWORD_FILE}
      -DTIMESTAMP_URL=${LAUNCHER_SIGN_TIMESTAMP_URL} "-DDESCRIPTION=${description}"
      -P ${LAUNCHER_FINISH_SCRIPT}
    VERBATIM)
endfunction()
