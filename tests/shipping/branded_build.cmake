# A shipper's Windows build: name, icons, version block, configuration, the
# Java parts, and a signature from a throwaway certificate (its key
# encrypted, the pass phrase in a file), stripped with its debug information
# beside it. Builds the two programs and the tools jar only, installs the
# folder, zips it, and checks what both contain.
#   SOURCE_DIR BUILD_DIR WORK_DIR TOOLCHAIN BUILD_TYPE GENERATOR JDK_HOME
#   BOOST_SOURCE NAME COMPANY PRODUCT VERSION LAUNCHER_ICON UPDATER_ICON CONFIG

cmake_policy(VERSION 3.25)

# A build of the whole tree is one step.
set(RUN_TIMEOUT 900)
include(${CMAKE_CURRENT_LIST_DIR}/run_checked.cmake)

function(expect_file path)
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "Missing: ${path}")
  endif()
endfunction()

set(keys ${WORK_DIR}/keys)
set(folder ${WORK_DIR}/installed)
set(packages ${WORK_DIR}/package)
set(app_files ${WORK_DIR}/app-files)
file(REMOVE_RECURSE "${folder}" "${packages}" "${app_files}")

# Stand-ins for the shipper's jars and runtime: only their places count here.
set(java_parts lib/quillpad.jar updater/lib/quillpad-updater.jar jre/bin/server/jvm.dll)
foreach(part ${java_parts})
  file(WRITE ${app_files}/${part} "${part}\n")
endforeach()

# One certificate for the tree's life: a new one must sign the programs anew.
if(NOT EXISTS ${keys}/cert.pem)
  file(MAKE_DIRECTORY ${keys})
  file(WRITE ${keys}/pass.txt "throwaway pass phrase\n")
  run(openssl req -x509 -newkey rsa:2048 -days 3650 -subj "/CN=Quillmark Test Signing/O=Quillmark"
    -addext extendedKeyUsage=codeSigning -passout file:${keys}/pass.txt
    -keyout ${keys}/key.pem -out ${keys}/cert.pem)
  file(REMOVE "${BUILD_DIR}/bin/${NAME}.exe" "${BUILD_DIR}/bin/updater/updater.exe")
endif()

run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BUILD_DIR} -G ${GENERATOR} --toolchain ${TOOLCHAIN}
  -DCMAKE_BUILD_TYPE=${BUILD_TYPE} -DLAUNCHER_BUILD_TESTS=OFF
  -DLAUNCHER_JDK_HOME=${JDK_HOME} -DLAUNCHER_BOOST_SOURCE=${BOOST_SOURCE}
  -DLAUNCHER_NAME=${NAME} -DLAUNCHER_COMPANY=${COMPANY} -DLAUNCHER_PRODUCT=${PRODUCT}
  -DLAUNCHER_PRODUCT_VERSION=${VERSION}
  -DLAUNCHER_ICON=${LAUNCHER_ICON} -DUPDATER_ICON=${UPDATER_ICON} -DLAUNCHER_CONFIG=${CONFIG}
  -DLAUNCHER_APP_FILES=${app_files} -DLAUNCHER_READY_UPDATER_RUNNER=OFF
  -DLAUNCHER_SIGN_CERT=${keys}/cert.pem -DLAUNCHER_SIGN_KEY=${keys}/key.pem
  -DLAUNCHER_SIGN_PASSWORD_FILE=${keys}/pass.txt
  -DLAUNCHER_SPLIT_DEBUG=ON)
run(${CMAKE_COMMAND} --build ${BUILD_DIR} --target launcher updater java_tools java_update -- -j2)
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${folder})
run(${CMAKE_CPACK_COMMAND} --config ${BUILD_DIR}/CPackConfig.cmake -B ${packages})

# The folder: the launcher under its name, its configuration after its stem,
# the Java parts where the shipper put them; this shipper keeps a runner of
# its own, so the update library is in lib/ only.
set(shipped "${NAME}.exe" "cfg/${NAME}.json" "lib/tarnwick-tools.jar" "lib/tarnwick-update.jar" "updater/updater.exe"
  ${java_parts})
file(GLOB_RECURSE installed RELATIVE ${folder} ${folder}/*)
list(SORT installed)
list(SORT shipped)
if(NOT installed STREQUAL shipped)
  message(FATAL_ERROR "The installed folder holds\n  ${installed}\ninstead of\n  ${shipped}")
endif()
file(SHA256 "${CONFIG}" expected)
file(SHA256 "${folder}/cfg/${NAME}.json" found)
if(NOT found STREQUAL expected)
  message(FATAL_ERROR "cfg/${NAME}.json is not ${CONFIG}")
endif()

# Stripped, with a debug link to the debug information kept in the build.
file(STRINGS ${BUILD_DIR}/CMakeCache.txt objdump REGEX "^CMAKE_OBJDUMP:")
string(REGEX REPLACE "^[^=]*=" "" objdump "${objdump}")
foreach(program "${NAME}.exe" "updater/updater.exe")
  expect_file("${BUILD_DIR}/bin/${program}.debug")
  execute_process(COMMAND ${objdump} -h "${folder}/${program}" OUTPUT_VARIABLE sections RESULT_VARIABLE result)
  if(NOT result EQUAL 0 OR NOT sections MATCHES "\\.gnu_debuglink" OR sections MATCHES "\\.debug_info")
    message(FATAL_ERROR "${program} is not stripped with a debug link:\n${sections}")
  endif()
endforeach()

# The ZIP: the same files in one folder named as the ZIP.
set(zip_name "${NAME}-${VERSION}-windows-x64")
expect_file("${packages}/${zip_name}.zip")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf "${packages}/${zip_name}.zip"
  OUTPUT_VARIABLE listing RESULT_VARIABLE result)
string(REPLACE "\n" ";" listing "${listing}")
list(FILTER listing EXCLUDE REGEX "/$|^$")
list(SORT listing)
list(TRANSFORM shipped PREPEND "${zip_name}/")
if(NOT result EQUAL 0 OR NOT listing STREQUAL shipped)
  message(FATAL_ERROR "${zip_name}.zip holds\n  ${listing}\ninstead of\n  ${shipped}")
endif()
message(STATUS "Branded folder ${folder} and ${zip_name}.zip")
