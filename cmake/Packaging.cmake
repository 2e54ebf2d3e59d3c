# `cmake --install <build> --prefix DIR` lays out the application folder;
# `cpack` (in the build folder) zips it.
#
#   <name>[.exe]              the launcher, under LAUNCHER_NAME
#   cfg/<name>.json           LAUNCHER_CONFIG
#   updater/updater[.exe]
#   lib/tarnwick-tools.jar
#   lib/tarnwick-update.jar, and with LAUNCHER_READY_UPDATER_RUNNER (the
#   default) updater/lib/tarnwick-update.jar: its ready UpdaterRunner
#   Linux: <name>.png (LAUNCHER_LINUX_ICON), and <name>.desktop, which names
#   the folder it is installed to and therefore stays out of the ZIP.
#   The Java parts are the shipper's (docs/shipping.md): the application's
#   jars in lib/, its runtime in jre/, the updater's jars in updater/lib/;
#   LAUNCHER_APP_FILES names a folder that holds them, copied in as it is.

install(TARGETS launcher RUNTIME DESTINATION .)
install(TARGETS updater RUNTIME DESTINATION updater)
install(FILES "${LAUNCHER_CONFIG}" DESTINATION cfg RENAME ${LAUNCHER_NAME}.json)
# The update library, for the application; on the updater's class path only
# when its ready runner is chosen, so that a shipper's own UpdaterRunner is
# never the second class of that name there.
install(FILES ${JAVA_UPDATE_JAR} DESTINATION lib)
if(LAUNCHER_READY_UPDATER_RUNNER)
  install(FILES ${JAVA_UPDATE_JAR} DESTINATION updater/lib)
  # A runner of the shipper's among the application files would be the
  # second UpdaterRunner on the updater's class path.
  if(NOT LAUNCHER_APP_FILES STREQUAL "")
    file(GLOB_RECURSE own_updater_jars "${LAUNCHER_APP_FILES}/updater/lib/*.jar")
    foreach(jar ${own_updater_jars})
      execute_process(COMMAND ${LAUNCHER_JDK_HOME}/bin/jar tf ${jar} OUTPUT_VARIABLE listing ERROR_QUIET TIMEOUT 60)
      if(listing MATCHES "(^|\n)io/tarnwick/updater/UpdaterRunner\.class")
        message(FATAL_ERROR "LAUNCHER_APP_FILES holds a runner of its own, ${jar}, and "
          "LAUNCHER_READY_UPDATER_RUNNER is ON: the updater would see two UpdaterRunner classes. "
          "Set -DLAUNCHER_READY_UPDATER_RUNNER=OFF to keep yours, or leave it out to use the ready one")
      endif()
    endforeach()
  endif()
endif()
if(NOT LAUNCHER_APP_FILES STREQUAL "")
  # The runtime's own programs stay programs.
  install(DIRECTORY "${LAUNCHER_APP_FILES}/" DESTINATION . USE_SOURCE_PERMISSIONS)
endif()

if(NOT WIN32)
  install(FILES "${LAUNCHER_LINUX_ICON}" DESTINATION . RENAME ${LAUNCHER_NAME}.png)
  if(LAUNCHER_PRODUCT STREQUAL "")
    set(desktop_name "${LAUNCHER_NAME}")
  else()
    set(desktop_name "${LAUNCHER_PRODUCT}")
  endif()
  install(CODE "
    set(DESKTOP_NAME [==[${desktop_name}]==])
    set(DESKTOP_PROGRAM [==[${LAUNCHER_NAME}]==])
    include([==[${CMAKE_CURRENT_LIST_DIR}/desktop_entry.cmake]==])"
    COMPONENT desktop)
endif()

if(LAUNCHER_PRODUCT_VERSION STREQUAL "")
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
else()
  set(CPACK_PACKAGE_VERSION ${LAUNCHER_PRODUCT_VERSION})
endif()
if(WIN32)
  set(CPACK_SYSTEM_NAME windows-x64)
else()
  set(CPACK_SYSTEM_NAME linux-${CMAKE_SYSTEM_PROCESSOR})
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME ${LAUNCHER_NAME})
set(CPACK_PACKAGE_VENDOR ${LAUNCHER_COMPANY})
set(LAUNCHER_PACKAGE_NAME ${LAUNCHER_NAME}-${CPACK_PACKAGE_VERSION}-${CPACK_SYSTEM_NAME})
set(CPACK_PACKAGE_FILE_NAME ${LAUNCHER_PACKAGE_NAME})
# One folder, named as the ZIP, holding the application folder; the desktop
# entry, written for the folder it is installed to, stays out.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_COMPONENTS_ALL application)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
