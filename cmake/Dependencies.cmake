# Boost 1.81 on both platforms, and the JNI headers of the machine's JDK.
set(LAUNCHER_BOOST_VERSION 1.81.0)

if(WIN32)
  # Boost's own CMake build from the source tree that scripts/bootstrap unpacks.
  set(LAUNCHER_BOOST_SOURCE ${PROJECT_SOURCE_DIR}/third_party/boost CACHE PATH "Boost source tree")
  if(NOT EXISTS ${LAUNCHER_BOOST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "No Boost source at ${LAUNCHER_BOOST_SOURCE}; run scripts/bootstrap")
  endif()
  set(BOOST_INCLUDE_LIBRARIES program_options filesystem property_tree algorithm)
  set(BUILD_SHARED_LIBS OFF)
  set(BUILD_TESTING OFF)
  # Boost is linked into the programs; nothing of it belongs in the application folder.
  set(BOOST_SKIP_INSTALL_RULES ON)
  add_subdirectory(${LAUNCHER_BOOST_SOURCE} ${CMAKE_BINARY_DIR}/boost EXCLUDE_FROM_ALL SYSTEM)
  foreach(library boost_program_options boost_filesystem boost_atomic)
    if(TARGET ${library})
      release_code_options(${library})
    endif()
  endforeach()
else()
  # Linked in: two shared libraries fewer to find, map and relocate at every
  # start, as on Windows, and a shipped folder cannot count on the user's
  # machine having Boost 1.81.
  set(Boost_USE_STATIC_LIBS ON)
  find_package(Boost ${LAUNCHER_BOOST_VERSION} EXACT CONFIG REQUIRED COMPONENTS program_options filesystem)
  if(NOT TARGET Boost::property_tree)
    add_library(Boost::property_tree ALIAS Boost::headers)
  endif()
  if(NOT TARGET Boost::algorithm)
    add_library(Boost::algorithm ALIAS Boost::headers)
  endif()
endif()

add_library(boost_deps INTERFACE)
target_link_libraries(boost_deps INTERFACE
  Boost::program_options Boost::filesystem Boost::property_tree Boost::algorithm)

# JNI headers: jni.h from the JDK; jni_md.h from the JDK on Linux, our own on
# Windows (the Linux one has the wrong types and export macros there).
if(NOT LAUNCHER_JDK_HOME)
  if(DEFINED ENV{JAVA_HOME} AND EXISTS "$ENV{JAVA_HOME}/include/jni.h")
    set(jdk "$ENV{JAVA_HOME}")
  else()
    find_program(JAVAC_PROGRAM javac REQUIRED)
    get_filename_component(javac_real ${JAVAC_PROGRAM} REALPATH)
    get_filename_component(jdk_bin ${javac_real} DIRECTORY)
    get_filename_component(jdk ${jdk_bin} DIRECTORY)
  endif()
  set(LAUNCHER_JDK_HOME ${jdk} CACHE PATH "JDK whose headers and tools the build uses")
endif()
if(NOT EXISTS ${LAUNCHER_JDK_HOME}/include/jni.h)
  message(FATAL_ERROR "No jni.h below ${LAUNCHER_JDK_HOME}; set LAUNCHER_JDK_HOME")
endif()

add_library(jni_headers INTERFACE)
if(WIN32)
  target_include_directories(jni_headers SYSTEM INTERFACE
    ${PROJECT_SOURCE_DIR}/common/jni/win32 ${LAUNCHER_JDK_HOME}/include)
else()
  target_include_directories(jni_headers SYSTEM INTERFACE
    ${LAUNCHER_JDK_HOME}/include ${LAUNCHER_JDK_HOME}/include/linux)
endif()
