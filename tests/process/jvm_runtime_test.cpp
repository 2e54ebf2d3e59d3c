// Creating a virtual machine in a fresh process: the real JVM on Linux, the
// stand-in's library search on Windows.
#include "app_layout.h"
#include "process_runner.h"
#include "test_paths.h"

#include <gtest/gtest.h>

namespace fs = boost::filesystem;

namespace {

RunResult probe(const std::vector<std::string>& arguments)
{
    return runProgram(test_paths::helperProgram("jvm_probe").string(), arguments);
}

#ifdef _WIN32
// A JRE ships its C runtime in <jre>\bin, beside neither jvm.dll nor the
// program. The stand-in imports a DLL that lies only there.
TEST(JavaRuntime, ItsOwnDllsAreFoundInJreBin)
{
    fs::path jre = test_paths::freshDirectory("runtime_dependency") / "jre";
    installStandInRuntime(jre, "");
    RunResult found = probe({jre.string()});
    EXPECT_EQ(found.exitCode, 0) << describe(found);
    EXPECT_EQ(found.out, "JVM created\nString class found\n");

    // The same runtime without that DLL cannot load: the import is real.
    fs::remove(jre / "bin" / test_paths::standInDependency().filename());
    RunResult missing = probe({jre.string()});
    EXPECT_EQ(missing.exitCode, 1) << describe(missing);
    EXPECT_EQ(missing.out.rfind("error: Failed to load jvm.dll. ", 0), 0u) << describe(missing);

    // A relative JRE folder with forward slashes works the same way.
    installStandInRuntime(jre, "");
    RunOptions options;
    options.workingDirectory = jre.parent_path().parent_path().string();
    RunResult relative = runProgram(test_paths::helperProgram("jvm_probe").string(), {"runtime_dependency/jre"},
                                    options);
    EXPECT_EQ(relative.exitCode, 0) << describe(relative);
}

// A JRE's jvm.dll hands the output hook the streams of the C runtime it ships
// (the UCRT), whose FILE is not ours: the text must still reach them.
TEST(JavaRuntime, TheRuntimesOutputReachesTheStreamsOfItsOwnCRuntime)
{
    RunResult result = runProgram(test_paths::helperProgram("runtime_output_probe").string(), {});
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_EQ(result.out, "ucrt stdout 1|own stdout 3|") << describe(result);
    EXPECT_EQ(result.err, "ucrt stderr 2|") << describe(result);
}
#else
TEST(JavaRuntime, TheMachinesJvmIsCreatedInProcess)
{
    RunResult created = probe({test_paths::javaHome().string(), "-Djava.class.path=/nonexistent", "-Xmx64m",
                               "-XX:SomethingUnknown"});
    EXPECT_EQ(created.exitCode, 0) << describe(created);
    EXPECT_EQ(created.out, "JVM created\nString class found\n") << describe(created);

    fs::path notJava = test_paths::freshDirectory("runtime_not_java");
    RunResult missing = probe({notJava.string()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.out, "error: Failed to load libjvm.so. " + notJava.string() +
                               "/lib/server/libjvm.so: cannot open shared object file: No such file or directory\n");
}

#endif

} // namespace
