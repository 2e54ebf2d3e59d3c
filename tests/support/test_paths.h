// Where the build put what the tests use.
#pragma once

#include <boost/filesystem.hpp>

#include <string>

namespace test_paths {

// A path the build wrote (a Linux path), as this program sees it: inside Wine
// the Linux root is drive Z:.
boost::filesystem::path fromBuild(const char* path);

boost::filesystem::path launcherProgram();
boost::filesystem::path updaterProgram();
boost::filesystem::path standInRuntime();   // jvm.dll / libjvm.so
boost::filesystem::path standInNoEntry();   // a runtime library without JNI_CreateJavaVM
boost::filesystem::path standInDependency(); // Windows: the DLL that jvm.dll imports
boost::filesystem::path workDirectory();     // scratch space below the build tree
boost::filesystem::path javaHome();          // Linux: the machine's JDK
boost::filesystem::path javaFixtures();      // compiled test classes
boost::filesystem::path helperProgram(const std::string& name); // small test programs
boost::filesystem::path sampleApplication(); // Linux: sample.jar and sample-updater.jar
boost::filesystem::path toolsJar();          // tarnwick-tools.jar

// A path written in UTF-8, whatever the test program's own code page.
boost::filesystem::path fromUtf8(const std::string& text);
// The path as UTF-8, as runProgram takes it.
std::string utf8Of(const boost::filesystem::path& path);

// A fresh, empty folder below the work directory.
boost::filesystem::path freshDirectory(const std::string& name);

} // namespace test_paths

// Small file helpers.
void writeTextFile(const boost::filesystem::path& path, const std::string& content);
std::string readTextFile(const boost::filesystem::path& path);
std::vector<std::string> readLines(const boost::filesystem::path& path);
// Waits until the file exists and its last line reads `lastLine`.
bool waitForLastLine(const boost::filesystem::path& path, const std::string& lastLine, int timeoutMs);
// Waits until the file has the line `line` with only `after` (if given) after it.
bool waitForLine(const boost::filesystem::path& path, const std::string& line, const std::string& after,
                 int timeoutMs);
