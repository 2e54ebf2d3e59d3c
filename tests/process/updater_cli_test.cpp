// The updater as the launcher starts it: its boxes, output and exit codes,
// the Java runner on the stand-in runtime, and the caller started again.
#include "app_layout.h"
#include "process.h"
#include "process_runner.h"
#include "test_paths.h"
#include "test_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#include <exdisp.h>
#include <shlobj.h>
#endif

namespace fs = boost::filesystem;

namespace {

using Lines = std::vector<std::string>;

const char* const kVersion = "Updater launcher version: 1.1.0";
// The runtime hooks come before the class path option.
const std::string kHooks = "\"vfprintf\", \"exit\", \"abort\"";

std::string runner(const std::string& runClauses, const std::string& constructor = "  constructor\n")
{
    return "class io/tarnwick/updater/UpdaterRunner\n" + constructor +
           "  method run ([Ljava/lang/String;)I " + runClauses + "\n";
}

const std::string kRunnerSucceeds = runner("returns 0");

std::string runCall(const Lines& arguments, int result)
{
    return "CallIntMethod io/tarnwick/updater/UpdaterRunner.run " + quotedList(arguments) + " -> " +
           std::to_string(result);
}

std::string firstLineStartingWith(const Lines& lines, const std::string& prefix)
{
    for (const std::string& line : lines)
        if (line.rfind(prefix, 0) == 0)
            return line;
    return "(no line starting with " + prefix + ")";
}

// The text of the error box (on Linux, its line on standard error).
std::string errorBoxText(const RunResult& result)
{
#ifdef _WIN32
    for (const MessageBoxSeen& box : result.boxes)
        if (box.caption == "Error")
            return box.text;
    return "(no error box)";
#else
    const std::string prefix = "Failed to start application: ";
    size_t at = result.err.find(prefix);
    if (at == std::string::npos)
        return "(no error box)";
    return result.err.substr(at, result.err.find('\n', at) - at);
#endif
}

class UpdaterCli : public ::testing::Test {
protected:
    static std::string testName() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

    void SetUp() override
    {
        ASSERT_TRUE(displayForBoxes());
        fs::create_directories(home);
        fs::copy_file(test_paths::updaterProgram(), updater());
    }

    // The application folder; the updater in its own folder below it.
    const fs::path root = test_paths::freshDirectory("updater_" + testName());
    const fs::path home = root / "updater";

    fs::path updater() const { return home / test_paths::updaterProgram().filename(); }
    std::string homeText() const { return home.string(); }
    std::string librariesText() const { return home.string() + "/lib"; }
    fs::path applicationJre() const { return root / "jre"; }

    // An update waiting at the default place, one archive, and the stand-in
    // runtime in the application's jre folder.
    void prepare(const std::string& description, bool withSnapshot = true)
    {
        writeTextFile(home / "lib" / "runner.jar", "");
        if (withSnapshot)
            writeTextFile(home / "data" / "snapshot.json", "{}");
        installStandInRuntime(applicationJre(), description);
    }

    Lines trace(const fs::path& jre) const { return readLines(standInServerDirectory(jre) / "trace.txt"); }
    Lines trace() const { return trace(applicationJre()); }
    bool jvmCreated(const fs::path& jre) const { return fs::exists(standInServerDirectory(jre) / "trace.txt"); }

    // The trace from the runner class lookup on.
    Lines runnerCalls() const
    {
        Lines lines = trace();
        auto first = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
            return line.rfind("FindClass \"io/tarnwick/updater/UpdaterRunner\"", 0) == 0;
        });
        return Lines(first, lines.end());
    }

    RunResult update(const std::vector<std::string>& arguments, RunOptions options = {})
    {
        options.workingDirectory = root.string();
        options.timeoutMs = 30000;
#ifndef _WIN32
        // Never the real user's data folder.
        if (std::none_of(options.environment.begin(), options.environment.end(),
                         [](const auto& entry) { return entry.first == "XDG_DATA_HOME"; }))
            options.environment.push_back({"XDG_DATA_HOME", (root / "xdg").string()});
#endif
        return runProgram(updater().string(), arguments, options);
    }

    // The fixed tail of the runner's arguments for a run without options.
    Lines defaultTail(bool keepUpdate = false, bool webInstall = false) const
    {
        return {"--updateDir=" + homeText() + "/data/", "--appDir=" + root.string(),
                std::string("--keepUpdate=") + (keepUpdate ? "true" : "false"),
                std::string("--webInstall=") + (webInstall ? "true" : "false")};
    }

    // A program that records how it was started, in a folder whose name has
    // a blank; returns its path.
    fs::path placeCaller() const
    {
        const fs::path folder = root / "caller app";
        fs::create_directories(folder);
        const fs::path caller = folder / ("caller" + test_paths::helperProgram("record_args").extension().string());
        fs::copy_file(test_paths::helperProgram("record_args"), caller);
        return caller;
    }

    static fs::path receivedFile(const fs::path& caller) { return caller.parent_path() / "received.txt"; }
    // Windows: who started the caller, and whether it runs elevated.
    static Lines startedHow(const fs::path& caller) { return readLines(caller.parent_path() / "started.txt"); }

    // The arguments the caller was started with, then "end".
    static Lines receivedBy(const fs::path& caller)
    {
        EXPECT_TRUE(waitForLastLine(receivedFile(caller), "end", 20000)) << "the caller did not run";
        Lines lines = readLines(receivedFile(caller));
        return Lines(std::find_if(lines.begin(), lines.end(),
                                  [](const std::string& line) { return line.rfind("arg: ", 0) == 0 || line == "end"; }),
                     lines.end());
    }
};

// --- options -----------------------------------------------------------------

TEST_F(UpdaterCli, VersionShowsAnInformationBox)
{
    RunResult result = update({"--uversion"});
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_TRUE(showedInfoBox(result, kVersion)) << describe(result);
}

TEST_F(UpdaterCli, HelpShowsOnlyTheOptionTable)
{
    prepare(kRunnerSucceeds);
    for (const auto& arguments : {std::vector<std::string>{"--uhelp", "--uconsole", "--uverbose"},
                                  {"--uhelp", "--uversion"}, {"--uversion", "--uh"}}) {
        RunResult result = update(arguments);
        EXPECT_EQ(result.exitCode, 0) << describe(result);
        EXPECT_TRUE(showedInfoBox(result, kUpdaterHelp)) << describe(result);
        EXPECT_FALSE(showedInfoBox(result, kVersion)) << describe(result);
#ifdef _WIN32
        EXPECT_EQ(result.boxes.size(), 1u) << describe(result);
        EXPECT_EQ(result.out, "") << "no console, no verbose line\n" << describe(result);
#else
        EXPECT_EQ(result.out, std::string(kUpdaterHelp) + "\n") << "nothing but the help\n" << describe(result);
#endif
        EXPECT_EQ(result.err, "") << describe(result);
    }
    EXPECT_FALSE(jvmCreated(applicationJre())) << "no update run";
}

TEST_F(UpdaterCli, OptionErrorsEndInTheErrorBoxAnd574)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--ukeep_update"}, "the required argument for option '--ukeep_update' is missing"},
        {{"--ukeep_update=maybe"}, "the argument ('maybe') for option '--ukeep_update' is invalid. Valid choices "
                                   "are 'on|off', 'yes|no', '1|0' and 'true|false'"},
        {{"--uapp", "a", "--uapp", "b"}, "option '--uapp' cannot be specified more than once"},
        {{"--uap", "x"}, "option '--uap' is ambiguous and matches '--uapp', and '--uappDir'"},
        {{"--uconsole=yes"}, "option '--uconsole' does not take any arguments"},
    };
    for (const auto& [arguments, text] : cases) {
        RunResult result = update(arguments);
        EXPECT_EQ(result.exitCode, kFailureExit) << describe(result);
        EXPECT_TRUE(showedErrorBox(result, "Failed to start application: " + text)) << describe(result);
        EXPECT_EQ(result.out, "") << describe(result);
#ifdef _WIN32
        EXPECT_EQ(result.err, "") << "the box says it all\n" << describe(result);
#else
        EXPECT_EQ(result.err, "Failed to start application: " + text + "\n") << describe(result);
#endif
    }
}

TEST_F(UpdaterCli, AbbreviationsAndBooleanWordsReachTheRun)
{
    prepare(kRunnerSucceeds);
    RunResult result = update({"--uverb", "--ukeep=yes"});
    EXPECT_EQ(result.exitCode, 1) << describe(result);
    EXPECT_NE(result.out.find("Updater home dir: " + homeText() + "\n"), std::string::npos) << describe(result);
    EXPECT_EQ(firstLineStartingWith(trace(), "CallIntMethod"), runCall(defaultTail(true), 0));
}

// --- the snapshot --------------------------------------------------------------

TEST_F(UpdaterCli, WithoutASnapshotNothingRuns)
{
    prepare(kRunnerSucceeds, /*withSnapshot=*/false);
    const std::string line =
        "No update file found at: " + homeText() + "/data//snapshot.json, the updater will exit\n";
    for (const auto& arguments : {std::vector<std::string>{}, {"--uverbose"}}) {
        RunResult result = update(arguments);
        EXPECT_EQ(result.exitCode, 0) << describe(result);
        EXPECT_EQ(result.out, line) << describe(result);
        EXPECT_EQ(result.err, "") << describe(result);
    }
    EXPECT_FALSE(jvmCreated(applicationJre())) << "no virtual machine without an update";
}

TEST_F(UpdaterCli, AWebInstallationNeedsNoSnapshot)
{
    prepare(kRunnerSucceeds, /*withSnapshot=*/false);
    RunResult result = update({"--uwebInstall"});
    EXPECT_EQ(result.exitCode, 1) << describe(result);
    EXPECT_EQ(result.out, "") << "neither snapshot line\n" << describe(result);
    EXPECT_EQ(firstLineStartingWith(trace(), "CallIntMethod"), runCall(defaultTail(false, true), 0));
}

TEST_F(UpdaterCli, AVerboseRunReportsEachStepInOrder)
{
    prepare(kRunnerSucceeds);
    RunResult result = update({"--uverbose"});
    EXPECT_EQ(result.exitCode, 1) << describe(result);
    Lines tail = defaultTail();
    std::string joined;
    for (const std::string& argument : tail)
        joined += (joined.empty() ? "" : " ") + argument;
    EXPECT_EQ(result.out, "Update file found at: " + homeText() + "/data//snapshot.json\n"
                          "Application home directory: " + root.string() + "\n"
                          "Updater home dir: " + homeText() + "\n"
                          "Updater libraries dir: " + librariesText() + "\n"
                          "Updater data directory: " + homeText() + "/data/\n"
                          "JVM created\n"
                          "Run jvm with arguments: " + joined + "\n"
                          "Updater result code: 0\n")
        << describe(result);
    EXPECT_EQ(result.err, "") << describe(result);

    Lines calls = runnerCalls();
    Lines expected = {
        "FindClass \"io/tarnwick/updater/UpdaterRunner\" -> class io/tarnwick/updater/UpdaterRunner",
        "GetMethodID io/tarnwick/updater/UpdaterRunner \"<init>\" \"()V\" -> method",
        "NewObject io/tarnwick/updater/UpdaterRunner -> object io/tarnwick/updater/UpdaterRunner",
        "GetMethodID io/tarnwick/updater/UpdaterRunner \"run\" \"([Ljava/lang/String;)I\" -> method",
        "NewStringUTF \"\"",
        "FindClass \"java/lang/String\" -> class java/lang/String",
        "NewObjectArray 4 java/lang/String \"\"",
        "DeleteLocalRef class java/lang/String",
        "DeleteLocalRef \"\"",
    };
    for (size_t i = 0; i < tail.size(); ++i) {
        expected.push_back("NewString " + quotedLiteral(tail[i]));
        expected.push_back("SetObjectArrayElement " + std::to_string(i) + " " + quotedLiteral(tail[i]));
        expected.push_back("DeleteLocalRef " + quotedLiteral(tail[i]));
    }
    expected.push_back(runCall(tail, 0));
    expected.push_back("ExceptionCheck -> 0");
    expected.push_back("DeleteLocalRef " + quotedList(tail));
    expected.push_back("DeleteLocalRef object io/tarnwick/updater/UpdaterRunner");
    expected.push_back("DeleteLocalRef class io/tarnwick/updater/UpdaterRunner");
    expected.push_back("DetachCurrentThread -> 0");
    expected.push_back("DestroyJavaVM -> 0");
    EXPECT_EQ(calls, expected);
}

TEST_F(UpdaterCli, TheSnapshotOptionLeavesTheUpdateDirectoryEmpty)
{
    prepare(kRunnerSucceeds, /*withSnapshot=*/false);
    const std::string snapshot = (root / "elsewhere" / "s.json").string();
    writeTextFile(snapshot, "{}");
    writeTextFile(root / "upd" / "snapshot.json", "{}");
    RunResult result = update({"--usnapshot", snapshot, "--udir", (root / "none").string(), "--uverbose"});
    EXPECT_EQ(result.exitCode, 1) << describe(result);
    EXPECT_EQ(result.out.rfind("Update file found at: " + snapshot + "\n", 0), 0u) << describe(result);
    EXPECT_NE(result.out.find("\nUpdater data directory: \n"), std::string::npos) << describe(result);
    EXPECT_EQ(firstLineStartingWith(trace(), "CallIntMethod"),
              runCall({"--updateDir=", "--appDir=" + root.string(), "--keepUpdate=false", "--webInstall=false"}, 0));

    fs::remove(snapshot);
    RunResult missing = update({"--usnapshot", snapshot});
    EXPECT_EQ(missing.exitCode, 0) << describe(missing);
    EXPECT_EQ(missing.out, "No update file found at: " + snapshot + ", the updater will exit\n");
}

TEST_F(UpdaterCli, TheUpdateDirectoryOptionWinsAndTheApplicationNameComesLast)
{
    prepare(kRunnerSucceeds, /*withSnapshot=*/false);
    const std::string directory = (root / "upd").string();
    writeTextFile(root / "upd" / "snapshot.json", "{}");
    RunResult result = update({"--udir", directory, "--uapp", "A"});
    EXPECT_EQ(result.exitCode, 1) << describe(result);
    EXPECT_EQ(result.out, "Update file found at: " + directory + "/snapshot.json\n") << describe(result);
    EXPECT_EQ(firstLineStartingWith(trace(), "CallIntMethod"),
              runCall({"--updateDir=" + directory, "--appDir=" + root.string(), "--keepUpdate=false",
                       "--webInstall=false", "--app=A"},
                      0));
}

TEST_F(UpdaterCli, TheApplicationNameLooksInTheUsersDataFolder)
{
    prepare(kRunnerSucceeds, /*withSnapshot=*/false);
    const std::string name = "updater_cli_" + testName();
#ifdef _WIN32
    // The roaming folder of the Wine prefix's user.
    const std::string dataFolder = *applicationDataFolder();
#else
    const std::string dataFolder = (root / "xdg").string();
#endif
    const fs::path own = fs::path(dataFolder) / name;
    fs::remove_all(own);

    RunResult none = update({"--uapp", name});
    EXPECT_EQ(none.exitCode, 0) << describe(none);
    EXPECT_EQ(none.out, "No update file found at: " + dataFolder + "/" + name +
                            "/snapshot.json, the updater will exit\n")
        << describe(none);

    writeTextFile(own / "snapshot.json", "{}");
    RunResult result = update({"--uapp", name});
    fs::remove_all(own);
    EXPECT_EQ(result.exitCode, 1) << describe(result);
    EXPECT_EQ(firstLineStartingWith(trace(), "CallIntMethod"),
              runCall({"--updateDir=" + dataFolder + "/" + name, "--appDir=" + root.string(), "--keepUpdate=false",
                       "--webInstall=false", "--app=" + name},
                      0));
}

#ifndef _WIN32
TEST_F(UpdaterCli, AnUnknownDataFolderIsAnError)
{
    prepare(kRunnerSucceeds);
    RunOptions options;
    // A relative XDG_DATA_HOME is ignored, and there is no HOME to fall back on.
    options.environment = {{"XDG_DATA_HOME", "relative"}, {"HOME", ""}};
    RunResult result = update({"--uapp", "A"}, options);
    EXPECT_EQ(result.exitCode, kFailureExit) << describe(result);
    EXPECT_TRUE(showedErrorBox(result, "Failed to start application: Cannot determine the application data folder"))
        << describe(result);
    EXPECT_FALSE(jvmCreated(applicationJre()));

    // Without --uapp the data folder is not needed.
    RunResult unneeded = update({}, options);
    EXPECT_EQ(unneeded.exitCode, 1) << describe(unneeded);
}
#endif

// --- the runner's arguments and class path ------------------------------------

TEST_F(UpdaterCli, ForwardedTokensComeFirstInTheirOrder)
{
    prepare(kRunnerSucceeds);
    RunResult result = update({"--foo=1", "bar", "--ukeep_update=1", "-x", "--uverbose"});
    EXPECT_EQ(result.exitCode, 1) << describe(result);
    Lines expected = {"--foo=1", "bar", "-x"};
    for (const std::string& entry : defaultTail(true))
        expected.push_back(entry);
    EXPECT_EQ(firstLineStartingWith(trace(), "CallIntMethod"), runCall(expected, 0));
    EXPECT_NE(result.out.find("\nRun jvm with arguments: --foo=1 bar -x --updateDir="), std::string::npos)
        << describe(result);
}

TEST_F(UpdaterCli, TheClassPathHoldsTheJarsBelowLibOnly)
{
    prepare(kRunnerSucceeds);
    fs::remove(home / "lib" / "runner.jar");
    for (const char* file : {"a.jar", "b.JAR", "notes.txt", "sub/c.jar"})
        writeTextFile(home / "lib" / file, "");
    RunResult result = update({});
    EXPECT_EQ(result.exitCode, 1) << describe(result);

    // In the order the file system lists them.
    Lines jars;
    for (fs::recursive_directory_iterator it(librariesText()), end; it != end; ++it)
        if (it->path().filename() == "a.jar" || it->path().filename() == "c.jar")
            jars.push_back(it->path().string());
    ASSERT_EQ(jars.size(), 2u);
#ifdef _WIN32
    const std::string classPath = jars[0] + ";" + jars[1];
    EXPECT_NE(classPath.find(librariesText() + "\\sub\\c.jar"), std::string::npos) << classPath;
#else
    const std::string classPath = jars[0] + ":" + jars[1];
    EXPECT_NE(classPath.find(librariesText() + "/sub/c.jar"), std::string::npos) << classPath;
#endif
    EXPECT_EQ(trace().at(0), "JNI_CreateJavaVM version=0xa0000 ignoreUnrecognized=1 options=[" + kHooks + ", " +
                                 quotedLiteral("-Djava.class.path=" + classPath) + "] -> 0");
}

// Java would read the empty class path as the current folder, where anyone
// could put a runner for the updater to run with its rights: no virtual
// machine is made for it.
TEST_F(UpdaterCli, AnEmptyLibFolderFindsNoRunner)
{
    prepare(kRunnerSucceeds);
    fs::remove(home / "lib" / "runner.jar");
    writeTextFile(home / "lib" / "readme.txt", "");
    RunResult result = update({});
    EXPECT_EQ(result.exitCode, kFailureExit) << describe(result);
    EXPECT_TRUE(showedErrorBox(result, "Failed to start application: The UpdaterRunner is not found"))
        << describe(result);
    EXPECT_FALSE(jvmCreated(applicationJre())) << "no virtual machine on an empty class path";
}

TEST_F(UpdaterCli, AMissingLibFolderIsAFileSystemFailure)
{
    prepare(kRunnerSucceeds);
    fs::remove_all(home / "lib");
    RunResult result = update({});
    EXPECT_EQ(result.exitCode, kFailureExit) << describe(result);
    EXPECT_EQ(errorBoxText(result).rfind("Failed to start application: boost::filesystem::", 0), 0u)
        << describe(result);
    EXPECT_FALSE(jvmCreated(applicationJre())) << "the class path comes before the virtual machine";
}

// --- the runner --------------------------------------------------------------

TEST_F(UpdaterCli, RunnerFailuresEndWith574AndLeaveNoExceptionPending)
{
    const std::string runnerClass = "io/tarnwick/updater/UpdaterRunner";
    const std::tuple<std::string, std::string, Lines> cases[] = {
        {"class other/Thing\n", "The UpdaterRunner is not found",
         {"FindClass \"" + runnerClass + "\" -> NULL (java/lang/NoClassDefFoundError)", "ExceptionClear"}},
        {runner("returns 0", ""), "Failed to create UpdaterRunner",
         {"GetMethodID " + runnerClass + " \"<init>\" \"()V\" -> NULL (java/lang/NoSuchMethodError)",
          "ExceptionClear", "DeleteLocalRef class " + runnerClass}},
        {runner("returns 0", "  constructor throws java/lang/IllegalStateException \"broken\"\n"),
         "Failed to create UpdaterRunner",
         {"NewObject " + runnerClass + " -> NULL (java/lang/IllegalStateException)", "ExceptionCheck -> 1",
          "ExceptionDescribe", "ExceptionClear", "DeleteLocalRef class " + runnerClass}},
        {"class " + runnerClass + "\n  constructor\n  method run ([Ljava/lang/String;)V\n",
         "Failed to run UpdaterRunner",
         {"GetMethodID " + runnerClass + " \"run\" \"([Ljava/lang/String;)I\" -> NULL (java/lang/NoSuchMethodError)",
          "ExceptionClear", "DeleteLocalRef object " + runnerClass, "DeleteLocalRef class " + runnerClass}},
    };
    for (const auto& [description, text, ending] : cases) {
        prepare(description);
        const fs::path caller = placeCaller();
        RunResult result = update({"--ucaller", caller.string()});
        EXPECT_EQ(result.exitCode, kFailureExit) << describe(result);
        EXPECT_TRUE(showedErrorBox(result, "Failed to start application: " + text)) << describe(result);
        Lines lines = trace();
        ASSERT_GE(lines.size(), ending.size());
        EXPECT_EQ(Lines(lines.end() - static_cast<std::ptrdiff_t>(ending.size()), lines.end()), ending)
            << "nothing but releasing the references after the failure";
        EXPECT_FALSE(fs::exists(receivedFile(caller))) << "no relaunch after a failure";
        fs::remove_all(root / "caller app");
    }
}

TEST_F(UpdaterCli, AnArrayTheRuntimeCannotMakeEndsWith574)
{
    // Room for nothing: the empty string that every slot starts with fails.
    prepare("heap 0\n" + kRunnerSucceeds);
    RunResult result = update({});
    EXPECT_EQ(result.exitCode, kFailureExit) << describe(result);
    EXPECT_TRUE(showedErrorBox(result, "Failed to start application: Failed to create the Java argument array"))
        << describe(result);
    EXPECT_NE(result.err.find("java.lang.OutOfMemoryError: Java heap space\n"), std::string::npos) << describe(result);
    EXPECT_EQ(firstLineStartingWith(trace(), "CallIntMethod"), "(no line starting with CallIntMethod)");
}

TEST_F(UpdaterCli, AThrowingConstructorIsDescribedOnStandardError)
{
    prepare(runner("returns 0", "  constructor throws java/lang/IllegalStateException \"broken\"\n"));
    RunResult result = update({});
    EXPECT_EQ(result.exitCode, kFailureExit) << describe(result);
    EXPECT_NE(result.err.find("java.lang.IllegalStateException: broken"), std::string::npos) << describe(result);
    const Lines calls = runnerCalls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                            [](const std::string& line) { return line.rfind("CallIntMethod", 0) == 0; }),
              0)
        << "run is never called on a null object";
}

TEST_F(UpdaterCli, AResultOtherThanZeroStartsNothing)
{
    prepare(runner("returns 3"));
    const fs::path caller = placeCaller();
    RunResult result = update({"--ucaller", caller.string(), "--uverbose"});
    EXPECT_EQ(result.exitCode, 1) << describe(result);
    EXPECT_NE(result.out.find("Updater result code: 3\n"), std::string::npos) << describe(result);
    EXPECT_EQ(result.out.find("Execute caller application"), std::string::npos) << describe(result);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_FALSE(fs::exists(receivedFile(caller)));
}

TEST_F(UpdaterCli, SuccessWithoutACallerStartsNothing)
{
    prepare(kRunnerSucceeds);
    RunResult result = update({"--uverbose"});
    EXPECT_EQ(result.exitCode, 1) << describe(result);
    EXPECT_NE(result.out.find("Updater result code: 0\n"), std::string::npos) << describe(result);
    EXPECT_EQ(result.out.find("Execute caller application"), std::string::npos) << describe(result);
}

TEST_F(UpdaterCli, AThrowingRunIsDescribedAndCountsAsFailed)
{
    prepare(runner("returns 0 throws java/lang/IllegalStateException \"late\""));
    const fs::path caller = placeCaller();
    RunResult result = update({"--ucaller", caller.string(), "--uverbose"});
    EXPECT_EQ(result.exitCode, 1) << describe(result);
    EXPECT_NE(result.err.find("java.lang.IllegalStateException: late"), std::string::npos) << describe(result);
    Lines lines = trace();
    ASSERT_GE(lines.size(), 9u);
    EXPECT_EQ(Lines(lines.end() - 9, lines.end()),
              (Lines{runCall(defaultTail(), 0) + " (throws java/lang/IllegalStateException)", "ExceptionCheck -> 1",
                     "ExceptionDescribe", "ExceptionClear", "DeleteLocalRef " + quotedList(defaultTail()),
                     "DeleteLocalRef object io/tarnwick/updater/UpdaterRunner",
                     "DeleteLocalRef class io/tarnwick/updater/UpdaterRunner", "DetachCurrentThread -> 0",
                     "DestroyJavaVM -> 0"}));
    EXPECT_NE(result.out.find("Updater result code: 1\n"), std::string::npos) << describe(result);
    EXPECT_EQ(result.out.find("Execute caller application"), std::string::npos) << describe(result);
    EXPECT_FALSE(fs::exists(caller.parent_path() / "received.txt")) << "the caller is not started";
}

// --- a runtime that ends the process -------------------------------------------

TEST_F(UpdaterCli, ARuntimeThatEndsTheProcessWhileStartingShowsTheErrorBox)
{
    const std::string words = "Error occurred during initialization of VM\nToo small maximum heap";
    prepare("create aborts prints \"Error occurred during initialization of VM\\n\" "
            "prints \"Too small maximum heap\\n\"\n" +
            kRunnerSucceeds);
    const fs::path caller = placeCaller();
    RunResult result = update({"--ucaller", caller.string()});
    EXPECT_EQ(result.exitCode, kFailureExit) << describe(result);
    EXPECT_TRUE(showedErrorBox(result, "Failed to start application: Error creating VM. " + words))
        << describe(result);
    EXPECT_EQ(result.err.find(words + "\n"), 0u) << "the runtime's own output, as it wrote it\n" << describe(result);
    EXPECT_EQ(result.err.find("Exception: "), std::string::npos) << "only the box\n" << describe(result);
#ifdef _WIN32
    EXPECT_EQ(result.boxes.size(), 1u) << describe(result);
#endif
    EXPECT_EQ(trace().back(), "abort hook") << "the updater ended the process in the hook";
    EXPECT_FALSE(fs::exists(receivedFile(caller))) << "no relaunch after a failure";
}

#ifndef _WIN32
// The machine's JDK: JAVA_TOOL_OPTIONS gives it a heap limit it refuses. It
// writes the line about JAVA_TOOL_OPTIONS before it takes the hooks.
TEST_F(UpdaterCli, TheRealRuntimesOwnWordsReachTheErrorBox)
{
    prepare(kRunnerSucceeds);
    RunOptions options;
    options.environment.push_back({"JAVA_TOOL_OPTIONS", "-Xmx1k"});
    RunResult result = update({"--ujrepath", test_paths::javaHome().string()}, options);
    EXPECT_EQ(result.exitCode, kFailureExit) << describe(result);
    EXPECT_TRUE(showedErrorBox(result, "Failed to start application: Error creating VM. Error occurred during "
                                       "initialization of VM\nToo small maximum heap"))
        << describe(result);
}
#endif

// --- the caller --------------------------------------------------------------

TEST_F(UpdaterCli, TheCallerIsStartedAgainWithoutArguments)
{
    prepare(kRunnerSucceeds);
    const fs::path caller = placeCaller();
    RunResult result = update({"--ucaller", caller.string(), "--uverbose"});
    EXPECT_EQ(result.exitCode, 1) << describe(result);
    EXPECT_NE(result.out.find("Updater result code: 0\nExecute caller application: \"" + caller.string() + "\"\n"),
              std::string::npos)
        << describe(result);
    EXPECT_EQ(result.err, "") << describe(result);
    EXPECT_EQ(receivedBy(caller), Lines{"end"});
    // The runner's life has ended, as under java (its shutdown hooks have
    // run), before the caller starts on the files it wrote.
    const Lines calls = runnerCalls();
    const auto run = std::find_if(calls.begin(), calls.end(),
                                  [](const std::string& line) { return line.rfind("CallIntMethod", 0) == 0; });
    ASSERT_NE(run, calls.end());
    ASSERT_GE(calls.end() - run, 3) << "nothing after the run";
    EXPECT_EQ(Lines(calls.end() - 2, calls.end()), (Lines{"DetachCurrentThread -> 0", "DestroyJavaVM -> 0"}));
}

// A runner's thread that ends the process with System.exit while the
// machine's end waits for it changes neither the relaunch nor the code.
TEST_F(UpdaterCli, AnExitWhileTheRuntimeEndsStillStartsTheCaller)
{
    prepare("destroy exits 5\n" + kRunnerSucceeds);
    const fs::path caller = placeCaller();
    RunResult result = update({"--ucaller", caller.string()});
    EXPECT_EQ(result.exitCode, 1) << describe(result);
    EXPECT_EQ(receivedBy(caller), Lines{"end"});
    const Lines calls = runnerCalls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "exit hook 5"), calls.end()) << "the runtime did not exit";
}

TEST_F(UpdaterCli, WithTheConsoleTheCallerGetsItsConsoleAndVerboseSwitches)
{
    prepare(kRunnerSucceeds);
    const fs::path caller = placeCaller();
    RunResult result = update({"--ucaller", caller.string(), "--uconsole"});
    EXPECT_EQ(result.exitCode, 1) << describe(result);
    EXPECT_EQ(receivedBy(caller), (Lines{"arg: --lverbose", "arg: --lconsole", "end"}));
#ifndef _WIN32
    // No console to open: the line still reaches standard output.
    EXPECT_NE(result.out.find("Execute caller application: \"" + caller.string() + "\"\n"), std::string::npos)
        << describe(result);
#endif
}

TEST_F(UpdaterCli, ACallerThatCannotStartIsReportedOnStandardError)
{
    prepare(kRunnerSucceeds);
    const std::string caller = (root / "caller app" / "missing").string();
    RunResult result = update({"--ucaller", caller});
    EXPECT_EQ(result.exitCode, 1) << describe(result);
    EXPECT_EQ(result.out, "Update file found at: " + homeText() + "/data//snapshot.json\n"
                          "Execute caller application: \"" + caller + "\"\n")
        << describe(result);
    EXPECT_EQ(result.err, "Failed to executed caller app: \"" + caller + "\"\n") << describe(result);
#ifdef _WIN32
    EXPECT_TRUE(result.boxes.empty()) << "no shell dialog\n" << describe(result);
#endif
}

#ifdef _WIN32
// Wine's desktop shell, explorer.exe, comes up a moment after the first
// program that needs it: a test that needs the shell waits until it shows
// the desktop, as it always does once a user is signed in on Windows.
bool desktopShellShown()
{
    const bool initialised = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    bool shown = false;
    const ULONGLONG deadline = GetTickCount64() + 20000;
    while (!shown && GetTickCount64() < deadline) {
        IShellWindows* windows = nullptr;
        if (SUCCEEDED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                       reinterpret_cast<void**>(&windows)))) {
            VARIANT location;
            VariantInit(&location);
            location.vt = VT_I4;
            location.lVal = CSIDL_DESKTOP;
            VARIANT root;
            VariantInit(&root);
            long window = 0;
            IDispatch* desktop = nullptr;
            shown = windows->FindWindowSW(&location, &root, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, &desktop) ==
                        S_OK &&
                    desktop != nullptr;
            if (desktop != nullptr)
                desktop->Release();
            windows->Release();
        }
        if (!shown)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (initialised)
        CoUninitialize();
    return shown;
}

// Wine gives every process the administrators' token: the updater runs
// elevated, as on Windows once the user has accepted the prompt.
TEST_F(UpdaterCli, AnElevatedUpdaterHasTheDesktopShellStartTheCaller)
{
    ASSERT_TRUE(desktopShellShown());
    prepare(kRunnerSucceeds);
    const fs::path caller = placeCaller();
    RunResult result = update({"--ucaller", caller.string(), "--uverbose"});
    EXPECT_EQ(result.exitCode, 1) << describe(result);
    EXPECT_NE(result.out.find("Execute caller application: \"" + caller.string() +
                              "\"\nCaller started by the desktop shell, as the signed-in user\n"),
              std::string::npos)
        << describe(result);
    EXPECT_EQ(receivedBy(caller), Lines{"end"});
    EXPECT_EQ(startedHow(caller), (Lines{"parent: explorer.exe", "elevated: yes"}))
        << "started by the shell, not by the updater";
    EXPECT_EQ(result.err, "") << describe(result);
}

TEST_F(UpdaterCli, AnUpdaterWithoutElevationStartsTheCallerAsBefore)
{
    prepare(kRunnerSucceeds);
    const fs::path caller = placeCaller();
    RunOptions options;
    options.notElevated = true;
    RunResult result = update({"--ucaller", caller.string(), "--uverbose"}, options);
    EXPECT_EQ(result.exitCode, 1) << describe(result);
    EXPECT_NE(result.out.find("Updater result code: 0\nExecute caller application: \"" + caller.string() + "\"\n"),
              std::string::npos)
        << describe(result);
    EXPECT_EQ(result.out.find("desktop shell"), std::string::npos) << describe(result);
    EXPECT_EQ(receivedBy(caller), Lines{"end"});
    EXPECT_EQ(startedHow(caller), (Lines{"parent: updater.exe", "elevated: no"}));
}
#endif

// The class path separator is a legal character in a folder's name: in the
// updater folder's path it would split the class path, and give the part
// after it to whoever controls the current folder (on Windows, elevated).
TEST_F(UpdaterCli, AnUpdaterFolderWithTheClassPathSeparatorIsRefused)
{
#ifdef _WIN32
    const std::string separator = ";";
#else
    const std::string separator = ":";
#endif
    const fs::path odd = test_paths::freshDirectory("updater_" + testName() + "_u" + separator + "v");
    fs::create_directories(odd / "updater");
    const fs::path program = odd / "updater" / test_paths::updaterProgram().filename();
    fs::copy_file(test_paths::updaterProgram(), program);
    writeTextFile(odd / "updater" / "lib" / "runner.jar", "");
    writeTextFile(odd / "updater" / "data" / "snapshot.json", "{}");
    installStandInRuntime(odd / "jre", kRunnerSucceeds);
    RunOptions options;
    options.workingDirectory = root.string();
    options.timeoutMs = 30000;
#ifndef _WIN32
    options.environment.push_back({"XDG_DATA_HOME", (root / "xdg").string()});
#endif
    RunResult result = runProgram(program.string(), {}, options);
    EXPECT_EQ(result.exitCode, kFailureExit) << describe(result);
    EXPECT_EQ(errorBoxText(result), "Failed to start application: The updater folder holds the class path separator " +
                                        separator + ", so Java would take classes from the current folder: " +
                                        (odd / "updater").string() + "/lib")
        << describe(result);
    EXPECT_FALSE(jvmCreated(odd / "jre")) << "a virtual machine was made";
}

// --- the Java runtime ---------------------------------------------------------

TEST_F(UpdaterCli, AGivenRuntimeFolderWithoutARuntimeFails)
{
    prepare(kRunnerSucceeds);
    const fs::path empty = root / "no-runtime";
    fs::create_directories(empty);
    RunResult result = update({"--ujrepath", empty.string()});
    EXPECT_EQ(result.exitCode, kFailureExit) << describe(result);
#ifdef _WIN32
    SetLastError(ERROR_MOD_NOT_FOUND);
    const std::string text = "Failed to load jvm.dll. " + lastErrorText();
#else
    const std::string text = "Failed to load libjvm.so. " + empty.string() +
                             "/lib/server/libjvm.so: cannot open shared object file: No such file or directory";
#endif
    EXPECT_TRUE(showedErrorBox(result, "Failed to start application: " + text)) << describe(result);
    EXPECT_FALSE(jvmCreated(applicationJre()));
}

TEST_F(UpdaterCli, AGivenRuntimeFolderWinsOverTheDefaultOnes)
{
    prepare(kRunnerSucceeds);
    installStandInRuntime(home / "jre", kRunnerSucceeds);
    const fs::path other = root / "other-jre";
    installStandInRuntime(other, kRunnerSucceeds);
    RunResult result = update({"--ujrepath", "other-jre"});
    EXPECT_EQ(result.exitCode, 1) << describe(result);
    EXPECT_TRUE(jvmCreated(other));
    EXPECT_FALSE(jvmCreated(home / "jre"));
    EXPECT_FALSE(jvmCreated(applicationJre()));
}

TEST_F(UpdaterCli, TheUpdatersOwnRuntimeComesBeforeTheApplications)
{
    prepare(kRunnerSucceeds);
    installStandInRuntime(home / "jre", kRunnerSucceeds);
    RunResult own = update({});
    EXPECT_EQ(own.exitCode, 1) << describe(own);
    EXPECT_TRUE(jvmCreated(home / "jre"));
    EXPECT_FALSE(jvmCreated(applicationJre()));

    fs::remove_all(home / "jre");
    RunResult beside = update({});
    EXPECT_EQ(beside.exitCode, 1) << describe(beside);
    EXPECT_TRUE(jvmCreated(applicationJre()));
}

TEST_F(UpdaterCli, NoRuntimeAtAllIsACanonicalPathFailure)
{
    prepare(kRunnerSucceeds);
    fs::remove_all(applicationJre());
    RunResult result = update({});
    EXPECT_EQ(result.exitCode, kFailureExit) << describe(result);
    const std::string text = errorBoxText(result);
    EXPECT_EQ(text.rfind("Failed to start application: boost::filesystem::canonical: ", 0), 0u) << describe(result);
    EXPECT_NE(text.find("updater/../jre"), std::string::npos) << describe(result);
}

} // namespace
