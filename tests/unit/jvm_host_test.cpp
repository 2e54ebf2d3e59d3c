// createJavaVM against the stand-in runtime: the start record, the library
// search, every failure text, the runtime hooks, and the argument array.
#include "jvm_host.h"

#include "app_layout.h"
#include "java_arguments.h"
#include "jvm_hooks.h"
#include "jvm_library.h"
#include "process.h"
#include "test_paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <tuple>

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

    // The trace from the first line that starts with `prefix` on.
    std::vector<std::string> traceFrom(const std::string& prefix)
    {
        std::vector<std::string> lines = trace();
        auto first = std::find_if(lines.begin(), lines.end(),
                                  [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
        return std::vector<std::string>(first, lines.end());
    }

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
    EXPECT_EQ(lines[0], "JNI_CreateJavaVM version=0xa0000 ignoreUnrecognized=1 options=[\"vfprintf\", \"exit\", "
                        "\"abort\", \"-Djava.class.path=a.jar\", \"-Xmx512m\", \"-Dk=v w\"] -> 0");
}

TEST_F(JvmHost, WithoutOptionsOnlyTheHooksArePassed)
{
    describe("");
    ::testing::internal::CaptureStdout();
    createJavaVM(jre().string(), {});
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "") << "quiet unless verbose";
    std::vector<std::string> lines = trace();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "JNI_CreateJavaVM version=0xa0000 ignoreUnrecognized=1 options=[\"vfprintf\", \"exit\", "
                        "\"abort\"] -> 0");
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


// --- the runtime hooks -------------------------------------------------------

using Lines = std::vector<std::string>;
using VfprintfHook = jint(JNICALL*)(std::FILE*, const char*, va_list);
using ExitHook = void(JNICALL*)(jint);
using AbortHook = void(JNICALL*)();

// A hook as the runtime receives it.
template <class Hook>
Hook hookNamed(const char* name)
{
    for (const JavaVMOption& option : javaRuntimeHookOptions())
        if (std::strcmp(option.optionString, name) == 0)
            return reinterpret_cast<Hook>(option.extraInfo);
    return nullptr;
}

// The runtime calls the hook with its own va_list.
jint printThrough(std::FILE* stream, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    const jint written = hookNamed<VfprintfHook>("vfprintf")(stream, format, arguments);
    va_end(arguments);
    return written;
}

// Text mode on Windows writes CR LF; the tests compare lines.
std::string withoutCarriageReturns(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

// A stream of our own C library, read back once closed.
class StreamFile {
public:
    StreamFile() : path_(test_paths::freshDirectory("jvm_hooks") / "stream.txt"),
                   stream_(std::fopen(path_.string().c_str(), "wb")) {}
    ~StreamFile()
    {
        if (stream_ != nullptr)
            std::fclose(stream_);
    }
    std::FILE* get() const { return stream_; }
    std::string text()
    {
        std::fclose(stream_);
        stream_ = nullptr;
        return readTextFile(path_);
    }

private:
    fs::path path_;
    std::FILE* stream_;
};

TEST(JvmHooks, TheHooksGoFirstAndAllThreeHaveAFunction)
{
    const std::vector<JavaVMOption> hooks = javaRuntimeHookOptions();
    ASSERT_EQ(hooks.size(), 3u);
    EXPECT_STREQ(hooks[0].optionString, "vfprintf");
    EXPECT_STREQ(hooks[1].optionString, "exit");
    EXPECT_STREQ(hooks[2].optionString, "abort");
    for (const JavaVMOption& hook : hooks)
        EXPECT_NE(hook.extraInfo, nullptr) << hook.optionString;
}

TEST(JvmHooks, OutsideACreationTheRuntimesOutputPassesThroughUnchanged)
{
    StreamFile stream;
    ASSERT_NE(stream.get(), nullptr);
    EXPECT_EQ(printThrough(stream.get(), "%s=%d;%5.1f|%c\n", "x", 42, 2.5, 'z'), 13);
    EXPECT_EQ(stream.text(), "x=42;  2.5|z\n");
}

TEST(JvmHooks, OutsideACreationExitAndAbortLeaveTheEndToTheRuntime)
{
    // Returning is what lets System.exit(n) end the process with n.
    hookNamed<ExitHook>("exit")(3);
    hookNamed<AbortHook>("abort")();
    // An exit with 0 while starting is no failure either.
    const JavaRuntimeCreation creation;
    hookNamed<ExitHook>("exit")(0);
    SUCCEED() << "the process still runs";
}

TEST(JvmHooks, ACreationKeepsWhatTheRuntimePrintsAndStillPassesItOn)
{
    StreamFile stream;
    ASSERT_NE(stream.get(), nullptr);
    printThrough(stream.get(), "before\n");
    {
        const JavaRuntimeCreation creation;
        EXPECT_EQ(creation.output(), "") << "nothing from before";
        printThrough(stream.get(), "\r\n%s\n", "Error occurred during initialization of VM");
        printThrough(stream.get(), "%s", "Too small maximum heap");
        printThrough(stream.get(), "\r\n");
        EXPECT_EQ(creation.output(), "Error occurred during initialization of VM\nToo small maximum heap")
            << "line ends at either end are trimmed";
    }
    printThrough(stream.get(), "after\n");
    const JavaRuntimeCreation next;
    EXPECT_EQ(next.output(), "") << "each creation keeps its own";
    EXPECT_EQ(stream.text(), "before\n\r\nError occurred during initialization of VM\nToo small maximum heap\r\n"
                             "after\n");
}

TEST(JvmHooks, ACreationKeepsTheLastSixteenKibibytesFromALineStart)
{
    StreamFile stream;
    ASSERT_NE(stream.get(), nullptr);
    const JavaRuntimeCreation creation;
    const std::string line(99, 'x');
    for (int i = 0; i < 200; ++i)
        printThrough(stream.get(), "%s\n", line.c_str());
    printThrough(stream.get(), "the reason\n");
    const std::string kept = creation.output();
    EXPECT_LE(kept.size(), 16u * 1024u);
    EXPECT_GT(kept.size(), 16u * 1024u - 100u);
    EXPECT_EQ(kept.find('\n'), line.size()) << "starts with a whole line";
    EXPECT_EQ(kept.rfind("\nthe reason"), kept.size() - 11);
    EXPECT_EQ(stream.text().size(), 200u * 100u + 11u) << "all of it was passed on";
}

TEST_F(JvmHost, AFailedCreationReportsWhatTheRuntimePrinted)
{
    describe("create fail lasterror 5 prints \"\\nInvalid maximum heap size: -Xmx1x\\n\" "
             "prints \"Could not create the Java Virtual Machine.\\r\\n\"\n");
    ::testing::internal::CaptureStderr();
    const std::string error = creationError(jre());
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(error, "Error creating VM. Invalid maximum heap size: -Xmx1x\nCould not create the Java Virtual Machine.");
    EXPECT_EQ(withoutCarriageReturns(err),
              "\nInvalid maximum heap size: -Xmx1x\nCould not create the Java Virtual Machine.\n")
        << "and passed on to the runtime's stream as always";
    EXPECT_EQ(traceFrom("vfprintf hook"),
              (Lines{"vfprintf hook \"\\u000aInvalid maximum heap size: -Xmx1x\\u000a\"",
                     "vfprintf hook \"Could not create the Java Virtual Machine.\\u000d\\u000a\""}));
}

TEST_F(JvmHost, WhatTheRuntimePrintsWhileStartingStillReachesItsStream)
{
    describe("create prints \"OpenJDK 64-Bit Server VM warning: an old option\\n\"\n");
    ::testing::internal::CaptureStderr();
    createJavaVM(jre().string(), {});
    EXPECT_EQ(withoutCarriageReturns(::testing::internal::GetCapturedStderr()),
              "OpenJDK 64-Bit Server VM warning: an old option\n");
    EXPECT_EQ(trace().at(1), "vfprintf hook \"OpenJDK 64-Bit Server VM warning: an old option\\u000a\"");
}

// --- the argument array --------------------------------------------------------

TEST_F(JvmHost, TheArgumentArrayLeavesOnlyItsOwnReference)
{
    describe("");
    createJavaVM(jre().string(), {});
    {
        const LocalRef<jobjectArray> array = newJavaStringArray(processJNIEnv, {"a", "b"});
        ASSERT_TRUE(array);
    }
    EXPECT_EQ(traceFrom("NewStringUTF"), (Lines{
                                             "NewStringUTF \"\"",
                                             "FindClass \"java/lang/String\" -> class java/lang/String",
                                             "NewObjectArray 2 java/lang/String \"\"",
                                             "DeleteLocalRef class java/lang/String",
                                             "DeleteLocalRef \"\"",
                                             "NewString \"a\"",
                                             "SetObjectArrayElement 0 \"a\"",
                                             "DeleteLocalRef \"a\"",
                                             "NewString \"b\"",
                                             "SetObjectArrayElement 1 \"b\"",
                                             "DeleteLocalRef \"b\"",
                                             "DeleteLocalRef [\"a\", \"b\"]",
                                         }));
}

TEST_F(JvmHost, AnArrayTheRuntimeCannotMakeIsAClearErrorWithNothingPending)
{
    const std::string outOfMemory = " -> NULL (java/lang/OutOfMemoryError)";
    const std::tuple<std::string, std::string, Lines> cases[] = {
        {"heap 0", "Failed to create the Java argument array",
         {"NewStringUTF \"\"" + outOfMemory, "ExceptionCheck -> 1", "ExceptionDescribe", "ExceptionClear"}},
        {"heap 1", "Failed to create the Java argument array",
         {"NewObjectArray 2 java/lang/String \"\"" + outOfMemory, "ExceptionCheck -> 1", "ExceptionDescribe",
          "ExceptionClear", "DeleteLocalRef class java/lang/String", "DeleteLocalRef \"\""}},
        {"heap 3", "Failed to create the Java string of argument 2",
         {"NewString \"b\"" + outOfMemory, "ExceptionCheck -> 1", "ExceptionDescribe", "ExceptionClear",
          "DeleteLocalRef [\"a\", \"\"]"}},
    };
    for (const auto& [heap, text, ending] : cases) {
        describe(heap + "\n");
        createJavaVM(jre().string(), {});
        ::testing::internal::CaptureStderr();
        std::string error = "(no error)";
        try {
            newJavaStringArray(processJNIEnv, {"a", "b"});
        } catch (const std::runtime_error& e) {
            error = e.what();
        }
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(error, text) << heap;
        EXPECT_NE(err.find("java.lang.OutOfMemoryError: Java heap space"), std::string::npos) << err;
        const Lines lines = trace();
        ASSERT_GE(lines.size(), ending.size()) << heap;
        EXPECT_EQ(Lines(lines.end() - static_cast<std::ptrdiff_t>(ending.size()), lines.end()), ending) << heap;
        EXPECT_FALSE(processJNIEnv->ExceptionCheck()) << heap;
    }
}

} // namespace
