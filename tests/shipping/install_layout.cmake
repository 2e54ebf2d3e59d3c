# The Linux application folder as `cmake --install` lays it out (into a
# folder whose name has a blank) and as `cpack` zips it; the installed
# launcher runs. The update library is in lib/, and in updater/lib/ only
# when the ready runner was chosen (READY_RUNNER).
#   BUILD_DIR WORK_DIR NAME CONFIG ICON PACKAGE UPDATE_JAR READY_RUNNER

cmake_policy(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/run_checked.cmake)

function(expect_same_file found expected)
  file(SHA256 "${found}" found_hash)
  file(SHA256 "${expected}" expected_hash)
  if(NOT found_hash STREQUAL expected_hash)
    message(FATAL_ERROR "${found} is not a copy of ${expected}")
  endif()
endfunction()

set(folder "${WORK_DIR}/installed folder")
set(packages ${WORK_DIR}/package)
file(REMOVE_RECURSE ${WORK_DIR})
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${folder})
run(${CMAKE_CPACK_COMMAND} --config ${BUILD_DIR}/CPackConfig.cmake -B ${packages})

set(shipped ${NAME} ${NAME}.png cfg/${NAME}.json lib/tarnwick-tools.jar lib/tarnwick-update.jar updater/updater)
if(READY_RUNNER)
  list(APPEND shipped updater/lib/tarnwick-update.jar)
endif()
file(GLOB_RECURSE installed RELATIVE ${folder} ${folder}/*)
list(SORT installed)
set(expected ${shipped} ${NAME}.desktop)
list(SORT expected)
if(NOT installed STREQUAL expected)
  message(FATAL_ERROR "The installed folder holds\n  ${installed}\ninstead of\n  ${expected}")
endif()
expect_same_file(${folder}/cfg/${NAME}.json ${CONFIG})
expect_same_file(${folder}/${NAME}.png ${ICON})
expect_same_file(${folder}/lib/tarnwick-update.jar ${UPDATE_JAR})
if(READY_RUNNER)
  expect_same_file(${folder}/updater/lib/tarnwick-update.jar ${UPDATE_JAR})
endif()

# The desktop entry names the folder it was installed to.
file(READ ${folder}/${NAME}.desktop entry)
foreach(line "Exec=\"${folder}/${NAME}\"" "Icon=${folder}/${NAME}.png" "Path=${folder}" "Type=Application")
  string(FIND "${entry}" "\n${line}\n" at)
  if(at LESS 0)
    message(FATAL_ERROR "${NAME}.desktop lacks the line\n  ${line}\n${entry}")
  endif()
endforeach()

execute_process(COMMAND ${folder}/${NAME} --lversion RESULT_VARIABLE result OUTPUT_VARIABLE output
  ERROR_VARIABLE output TIMEOUT 60)
if(NOT result EQUAL 0 OR NOT output MATCHES "Launcher version: ")
  message(FATAL_ERROR "The installed launcher does not run (${result}):\n${output}")
endif()

# The ZIP: everything but the desktop entry, whose paths would be wrong
# wherever the ZIP is unpacked.
set(zip ${packages}/${PACKAGE}.zip)
if(NOT EXISTS ${zip})
  message(FATAL_ERROR "No ${zip}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${zip} OUTPUT_VARIABLE listing RESULT_VARIABLE result)
string(REPLACE "\n" ";" listing "${listing}")
list(FILTER listing EXCLUDE REGEX "/$|^$")
list(SORT listing)
list(TRANSFORM shipped PREPEND "${PACKAGE}/")
list(SORT shipped)
if(NOT result EQUAL 0 OR NOT listing STREQUAL shipped)
  message(FATAL_ERROR "${PACKAGE}.zip holds\n  ${listing}\ninstead of\n  ${shipped}")
endif()
message(STATUS "Installed ${folder}; ${PACKAGE}.zip")
