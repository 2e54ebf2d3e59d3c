# Java classes that the Linux tests run in the machine's JVM, compiled by the
# build with the JDK's javac.
set(JAVA_FIXTURES_DIR ${CMAKE_BINARY_DIR}/tests/java-classes)
if(NOT WIN32)
  file(GLOB_RECURSE java_fixture_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/java/*.java)
  # The splash class as applications ship it, in the library.
  list(APPEND java_fixture_sources ${PROJECT_SOURCE_DIR}/java/io/tarnwick/tools/SplashScreen.java)
  set(stamp ${CMAKE_BINARY_DIR}/tests/java-classes.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${JAVA_FIXTURES_DIR}
    COMMAND ${LAUNCHER_JDK_HOME}/bin/javac -encoding UTF-8 -cp ${JAVA_TOOLS_JAR} -d ${JAVA_FIXTURES_DIR} ${java_fixture_sources}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${java_fixture_sources} ${JAVA_TOOLS_JAR}
    COMMENT "Compiling the Java test fixtures")
  add_custom_target(java_fixtures ALL DEPENDS ${stamp})
endif()
