// createJavaVM against the stand-in runtime: the start record, the library
// search, and every failure text.
#include "jvm_host.h"

#include "app_layout.h"
#include "jvm_library.h"
#include "process.h"
#include "test_paths.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = boost::filesystem;

namespace {

std::string creationError(const fs::path& jre, const std::vector<std::string>& options = {})
{
    try {
        createJavaVM(jre.string(), options);
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no error)";
}

#ifdef _WIN32
std::string systemText(DWORD code)
{
    SetLastError(code);
    return lastErrorText();
}
const char* const kLoadFailure = "Failed to load jvm.dll. ";
#else
const char* const kLoadFailure = "Failed to load libjvm.so. ";
#endif

// One runtime folder for the whole process: a loaded library stays loaded, so
// later cases only rewrite its description.
class JvmHost : public ::testing::Test {
protected:
    static fs::path jre()
    {
        static const fs::path dir = [] {
            fs::path jre = test_paths::freshDirectory("jvm_host") / "jre";
            installStandInRuntime(jre, "");
            return jre;
        }();
        return dir;
    }

    void describe(const std::string& description)
    {
        writeTextFile(standInServerDirectory(jre()) / "standin.txt", description);
        fs::remove(standInServerDirectory(jre()) / "trace.txt");
    }

    std::vector<std::string> trace() { return readLines(standInServerDirectory(jre()) / "trace.txt"); }

    void TearDown() override { verboseMode = false; }
};

TEST_F(JvmHost, TheLibraryPathIsAppendedToTheJreFolderAsWritten)
{
#ifdef _WIN32
    EXPECT_EQ(javaRuntimeLibraryPath("D:/apps/x/jre"), "D:/apps/x/jre\\bin\\server\\jvm.dll");
    EXPECT_EQ(javaRuntimeLibraryPath("D:\\apps\\x\\jre\\"), "D:\\apps\\x\\jre\\\\bin\\server\\jvm.dll");
#else
    EXPECT_EQ(javaRuntimeLibraryPath("/opt/x/jre"), "/opt/x/jre/lib/server/libjvm.so");
    EXPECT_EQ(javaRuntimeLibraryPath("/opt/x/jre/"), "/opt/x/jre//lib/server/libjvm.so");
#endif
}

TEST_F(JvmHost, CreatesTheVirtualMachineWithTheOptionsInOrder)
{
    describe("");
    verboseMode = true;
    ::testing::internal::CaptureStdout();
    createJavaVM(jre().string(), {"-Djava.class.path=a.jar", "-Xmx512m", "-Dk=v w"});
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "JVM created\n");
    EXPECT_NE(processJavaVM, nullptr);
    ASSERT_NE(processJNIEnv, nullptr);
    EXPECT_EQ(processJNIEnv->GetVersion(), JNI_VERSION_10);
    std::vector<std::string> lines = trace();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "JNI_CreateJavaVM version=0xa0000 ignoreUnrecognized=1 options=[\"-Djava.class.path=a.jar\", "
                        "\"-Xmx512m\", \"-Dk=v w\"] -> 0");
}

TEST_F(JvmHost, AnEmptyOptionListIsPassedAsNoOptions)
{
    describe("");
    ::testing::internal::CaptureStdout();
    createJavaVM(jre().string(), {});
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "") << "quiet unless verbose";
    std::vector<std::string> lines = trace();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "JNI_CreateJavaVM version=0xa0000 ignoreUnrecognized=1 options=[] -> 0");
}

TEST_F(JvmHost, AFailedCreationReportsTheLastError)
{
    describe("create fail");
    EXPECT_EQ(creationError(jre()), "Error creating VM. ");
#ifdef _WIN32
    describe("create fail lasterror 5");
    EXPECT_EQ(creationError(jre()), "Error creating VM. " + systemText(5));
    EXPECT_NE(systemText(5), "");
#else
    describe("create fail lasterror 13");
    EXPECT_EQ(creationError(jre()), "Error creating VM. Permission denied");
#endif
}

TEST_F(JvmHost, AMissingRuntimeReportsTheLoaderText)
{
    fs::path empty = test_paths::freshDirectory("jvm_host_missing") / "jre";
#ifdef _WIN32
    EXPECT_EQ(creationError(empty), std::string(kLoadFailure) + "Module not found.\r\n");
#else
    EXPECT_EQ(creationError(empty), std::string(kLoadFailure) + javaRuntimeLibraryPath(empty.string()) +
                                        ": cannot open shared object file: No such file or directory");
#endif
}

TEST_F(JvmHost, ALibraryWithoutTheEntryPointIsAFailureNotACall)
{
    fs::path jre = test_paths::freshDirectory("jvm_host_noentry") / "jre";
    fs::path server = standInServerDirectory(jre);
    fs::create_directories(server);
    fs::copy_file(test_paths::standInNoEntry(), server / test_paths::standInRuntime().filename());
    EXPECT_EQ(creationError(jre), "Error creating VM. The Java runtime has no JNI_CreateJavaVM entry point: " +
                                      javaRuntimeLibraryPath(jre.string()));
}


} // namespace
