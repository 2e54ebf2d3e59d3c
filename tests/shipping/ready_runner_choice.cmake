# The other choice of LAUNCHER_READY_UPDATER_RUNNER than the build tree's:
# a tree of its own beside it (programs and jars only), installed and zipped
# and checked as install_layout.cmake checks the main tree.
#   SOURCE_DIR BUILD_DIR WORK_DIR GENERATOR BUILD_TYPE JDK_HOME READY_RUNNER
#   NAME CONFIG ICON PACKAGE (as the main tree has them)

cmake_policy(VERSION 3.25)

# A build of the whole tree is one step.
set(RUN_TIMEOUT 900)
include(${CMAKE_CURRENT_LIST_DIR}/run_checked.cmake)

# With the ready runner chosen, a runner of the shipper's among the
# application files stops the configure step.
set(own ${WORK_DIR}-own-runner)
file(REMOVE_RECURSE ${own})
file(WRITE ${own}/classes/io/tarnwick/updater/UpdaterRunner.class "")
file(MAKE_DIRECTORY ${own}/app-files/updater/lib)
execute_process(COMMAND ${JDK_HOME}/bin/jar --create --file ${own}/app-files/updater/lib/mine.jar -C ${own}/classes .
  RESULT_VARIABLE result TIMEOUT 60)
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${own}/build -G ${GENERATOR} -DLAUNCHER_BUILD_TESTS=OFF
  -DLAUNCHER_JDK_HOME=${JDK_HOME} -DLAUNCHER_READY_UPDATER_RUNNER=ON -DLAUNCHER_APP_FILES=${own}/app-files
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output TIMEOUT 300)
string(REGEX REPLACE "[ \n]+" " " flat "${output}")
if(result EQUAL 0 OR NOT flat MATCHES "holds a runner of its own, .*mine.jar, and LAUNCHER_READY_UPDATER_RUNNER is ON")
  message(FATAL_ERROR "A second UpdaterRunner among the application files was not refused (${result}):\n${output}")
endif()

run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BUILD_DIR} -G ${GENERATOR} -DCMAKE_BUILD_TYPE=${BUILD_TYPE}
  -DLAUNCHER_BUILD_TESTS=OFF -DLAUNCHER_JDK_HOME=${JDK_HOME} -DLAUNCHER_READY_UPDATER_RUNNER=${READY_RUNNER}
  -DLAUNCHER_NAME=${NAME} -DLAUNCHER_CONFIG=${CONFIG} -DLAUNCHER_LINUX_ICON=${ICON})
run(${CMAKE_COMMAND} --build ${BUILD_DIR} -- -j2)
execute_process(COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${BUILD_DIR} -DWORK_DIR=${WORK_DIR}
  -DNAME=${NAME} -DCONFIG=${CONFIG} -DICON=${ICON} -DPACKAGE=${PACKAGE}
  -DUPDATE_JAR=${BUILD_DIR}/java/update/tarnwick-update.jar -DREADY_RUNNER=${READY_RUNNER}
  -P ${CMAKE_CURRENT_LIST_DIR}/install_layout.cmake
  RESULT_VARIABLE result TIMEOUT 600)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "The install with LAUNCHER_READY_UPDATER_RUNNER=${READY_RUNNER} is not as expected")
endif()
