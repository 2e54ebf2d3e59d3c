// The launcher runs an application on the stand-in runtime: the JNI calls in
// their order, the decision to install or update first, and the hand-off to
// the updater through the real shell call.
#include "app_layout.h"
#include "process.h"
#include "process_runner.h"
#include "program_names.h"
#include "test_paths.h"
#include "test_text.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <tuple>

namespace fs = boost::filesystem;

namespace {

using Lines = std::vector<std::string>;
using test_paths::utf8Of;

const char* const kStatic = "class sample/app/Main\n"
                            "  static run ([Ljava/lang/String;)I returns 3\n";
// The runtime hooks come before the application's options.
const std::string kHooks = "\"vfprintf\", \"exit\", \"abort\"";
const char* const kInstance = "class sample/app/Main\n"
                              "  constructor\n"
                              "  method run ([Ljava/lang/String;)I returns 0\n";

class LauncherRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(displayForBoxes());
        // Each test has a package of its own in the per-user data folder.
        config.packageName = std::string("launcher_run_") + testName();
        dataFolder = test_paths::freshDirectory(std::string("data_") + testName());
#ifdef _WIN32
        userFolder = fs::path(*applicationDataFolder()) / config.packageName;
#else
        userFolder = dataFolder / config.packageName;
#endif
        fs::remove_all(userFolder);
    }

    void TearDown() override { fs::remove_all(userFolder); }

    static const char* testName() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

    AppLayout app{testName()};
    AppConfig config;
    fs::path dataFolder;
    fs::path userFolder;

    // The application's classes, and its splash class whose natives the
    // launcher registers.
    void prepare(const std::string& description, bool withLib = true)
    {
        app.writeConfig(config);
        if (withLib)
            app.makeLib();
        app.installStandIn(description + "class io/tarnwick/tools/SplashScreen\n"
                                          "  native showResourceSplashImpl ()V\n"
                                          "  native showPNGSplashImpl ([B)V\n"
                                          "  native setFieldImpl (IILjava/lang/String;)V\n"
                                          "  native setProgressImpl (IIIIIIILjava/lang/String;)V\n"
                                          "  native hideSplashImpl ()V\n");
    }

    RunResult launch(const std::vector<std::string>& arguments, const RunOptions& extra = {})
    {
        RunOptions options = extra;
        options.workingDirectory = app.root().string();
        options.timeoutMs = 30000;
        options.environment.push_back({"XDG_DATA_HOME", dataFolder.string()});
        return runProgram(app.launcher().string(), arguments, options);
    }

    // The trace from the main class lookup on.
    Lines mainClassCalls() const
    {
        Lines lines = app.trace();
        auto first = std::find(lines.begin(), lines.end(), "FindClass \"sample/app/Main\" -> class sample/app/Main");
        if (first == lines.end())
            first = std::find_if(lines.begin(), lines.end(),
                                 [](const std::string& l) { return l.rfind("FindClass \"sample/app/Main\"", 0) == 0; });
        return Lines(first, lines.end());
    }

    // The call of the main method.
    std::string theCall() const
    {
        for (const std::string& line : app.trace())
            if (line.rfind("CallStaticIntMethod", 0) == 0 || line.rfind("CallIntMethod", 0) == 0)
                return line;
        return "(no call)";
    }

    // A program that records its arguments, put where the launcher looks for
    // the updater; returns the file it will write.
    fs::path placeRecorder(const fs::path& folder) const
    {
        fs::create_directories(folder);
        fs::copy_file(test_paths::helperProgram("record_args"), folder / kUpdaterProgramName,
                      fs::copy_options::overwrite_existing);
        return folder / "received.txt";
    }

    Lines receivedBy(const fs::path& file) const
    {
        EXPECT_TRUE(waitForLastLine(file, "end", 20000)) << file;
        Lines lines = readLines(file);
        return Lines(std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
                         return l.rfind("arg: ", 0) == 0;
                     }), lines.end());
    }

    // As the launcher writes it: joined by plain concatenation.
    std::string snapshotPath() const
    {
#ifdef _WIN32
        const std::string data = *applicationDataFolder();
#else
        const std::string data = dataFolder.string();
#endif
        return data + "/" + config.packageName + "/snapshot.json";
    }
};

Lines args(std::initializer_list<std::string> values)
{
    Lines lines;
    for (const std::string& value : values)
        lines.push_back("arg: " + value);
    lines.push_back("end");
    return lines;
}

TEST_F(LauncherRun, StaticStyleCallsInOrderAndPassesTheArguments)
{
    prepare(kStatic);
    RunResult result = launch({"--foo", "bar", "--lverbose", "baz"});
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_EQ(mainClassCalls(), (Lines{
                                    "FindClass \"sample/app/Main\" -> class sample/app/Main",
                                    "GetStaticMethodID sample/app/Main \"run\" \"([Ljava/lang/String;)I\" -> method",
                                    "NewStringUTF \"\"",
                                    "FindClass \"java/lang/String\" -> class java/lang/String",
                                    "NewObjectArray 3 java/lang/String \"\"",
                                    "DeleteLocalRef class java/lang/String",
                                    "DeleteLocalRef \"\"",
                                    "NewString \"--foo\"",
                                    "SetObjectArrayElement 0 \"--foo\"",
                                    "DeleteLocalRef \"--foo\"",
                                    "NewString \"bar\"",
                                    "SetObjectArrayElement 1 \"bar\"",
                                    "DeleteLocalRef \"bar\"",
                                    "NewString \"baz\"",
                                    "SetObjectArrayElement 2 \"baz\"",
                                    "DeleteLocalRef \"baz\"",
                                    "CallStaticIntMethod sample/app/Main.run [\"--foo\", \"bar\", \"baz\"] -> 3",
                                    "ExceptionCheck -> 0",
                                    "DeleteLocalRef [\"--foo\", \"bar\", \"baz\"]",
                                    "DeleteLocalRef class sample/app/Main",
                                    // As java ends: its threads and shutdown hooks are waited for.
                                    "DetachCurrentThread -> 0",
                                    "DestroyJavaVM -> 0",
                                }));
    EXPECT_NE(result.out.find("Using main class: sample/app/Main\nUsing static runner method: run\n"),
              std::string::npos)
        << describe(result);
    EXPECT_NE(result.out.find("Application exited with code: 3\n"), std::string::npos) << describe(result);
}

TEST_F(LauncherRun, InstanceStyleMakesOneObjectAndGetsAnEmptyArray)
{
    config.mainClass = "sample/app/Main";
    prepare(kInstance);
    RunResult result = launch({"--lverbose"});
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_EQ(mainClassCalls(),
              (Lines{
                  "FindClass \"sample/app/Main\" -> class sample/app/Main",
                  "GetStaticMethodID sample/app/Main \"run\" \"([Ljava/lang/String;)I\" -> NULL (java/lang/NoSuchMethodError)",
                  "ExceptionClear",
                  "GetMethodID sample/app/Main \"<init>\" \"()V\" -> method",
                  "NewObject sample/app/Main -> object sample/app/Main",
                  "GetMethodID sample/app/Main \"run\" \"([Ljava/lang/String;)I\" -> method",
                  "NewStringUTF \"\"",
                  "FindClass \"java/lang/String\" -> class java/lang/String",
                  "NewObjectArray 0 java/lang/String \"\"",
                  "DeleteLocalRef class java/lang/String",
                  "DeleteLocalRef \"\"",
                  "CallIntMethod sample/app/Main.run [] -> 0",
                  "ExceptionCheck -> 0",
                  "DeleteLocalRef []",
                  "DeleteLocalRef object sample/app/Main",
                  "DeleteLocalRef class sample/app/Main",
                                    // As java ends: its threads and shutdown hooks are waited for.
                                    "DetachCurrentThread -> 0",
                                    "DestroyJavaVM -> 0",
              }));
    EXPECT_NE(result.out.find("Using main class: sample/app/Main\nUsing runner method: run\n"), std::string::npos)
        << describe(result);
    EXPECT_EQ(result.err, "") << "no Java exception is described after a normal return";
}

TEST_F(LauncherRun, TheSplashNativesAreRegisteredAndTheirClassReleased)
{
    prepare(kStatic);
    RunResult result = launch({});
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    const Lines lines = app.trace();
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[1], "FindClass \"io/tarnwick/tools/SplashScreen\" -> class io/tarnwick/tools/SplashScreen");
    EXPECT_EQ(lines[2].rfind("RegisterNatives io/tarnwick/tools/SplashScreen 5 [", 0), 0u) << lines[2];
    EXPECT_EQ(Lines(lines.begin() + 3, lines.begin() + 6),
              (Lines{"ExceptionCheck -> 0", "DeleteLocalRef class io/tarnwick/tools/SplashScreen",
                     "FindClass \"sample/app/Main\" -> class sample/app/Main"}));
}

TEST_F(LauncherRun, InvocationFailuresEndWith574)
{
    const std::pair<std::string, std::string> cases[] = {
        {"class other/Thing\n", "The main class is not found: sample/app/Main"},
        {"class sample/app/Main\n  method run ([Ljava/lang/String;)I\n",
         "The default constructor is not found for: sample/app/Main"},
        {"class sample/app/Main\n  constructor throws java/lang/IllegalStateException refused\n"
         "  method run ([Ljava/lang/String;)I\n",
         "Failed to create object for: sample/app/Main"},
        {"class sample/app/Main\n  constructor\n  method run ([Ljava/lang/String;)V\n",
         "The main method: void run(String[] argv) is not found in class: sample.app.Main"},
    };
    for (const auto& [description, text] : cases) {
        prepare(description);
        RunResult result = launch({});
        EXPECT_EQ(result.exitCode, kFailureExit) << describe(result);
        EXPECT_TRUE(showedErrorBox(result, "Failed to start application: " + text)) << describe(result);
        EXPECT_NE(result.err.find("Exception: " + text + "\n"), std::string::npos) << describe(result);
        Lines calls = mainClassCalls();
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                                [](const std::string& l) { return l.rfind("Call", 0) == 0; }),
                  0)
            << "nothing is called after a failed lookup";
    }
}

TEST_F(LauncherRun, AnArgumentTheRuntimeCannotMakeEndsWith574)
{
    // Room for the empty string and the array, not for the argument.
    prepare(std::string("heap 2\n") + kStatic);
    RunResult result = launch({"a"});
    const std::string text = "Failed to create the Java string of argument 1";
    EXPECT_EQ(result.exitCode, kFailureExit) << describe(result);
    EXPECT_NE(result.err.find("java.lang.OutOfMemoryError: Java heap space\n"), std::string::npos) << describe(result);
    EXPECT_NE(result.err.find("Exception: " + text + "\n"), std::string::npos) << describe(result);
    EXPECT_TRUE(showedErrorBox(result, "Failed to start application: " + text)) << describe(result);
    EXPECT_EQ(theCall(), "(no call)");
}

TEST_F(LauncherRun, AThrowingMethodIsDescribedAndTheLauncherEndsNormally)
{
    prepare("class sample/app/Main\n"
            "  static run ([Ljava/lang/String;)I returns 7 throws java/lang/IllegalStateException \"boom\"\n");
    RunResult result = launch({"--lverbose"});
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    Lines calls = mainClassCalls();
    auto check = std::find(calls.begin(), calls.end(), "ExceptionCheck -> 1");
    ASSERT_NE(check, calls.end());
    EXPECT_EQ(Lines(check, calls.end()),
              (Lines{"ExceptionCheck -> 1", "ExceptionDescribe", "ExceptionClear", "DeleteLocalRef []",
                     "DeleteLocalRef class sample/app/Main", "DetachCurrentThread -> 0", "DestroyJavaVM -> 0"}));
    EXPECT_NE(result.err.find("java.lang.IllegalStateException: boom"), std::string::npos) << describe(result);
    EXPECT_NE(result.out.find("Application exited with code: 7\n"), std::string::npos) << describe(result);
}

// --- a runtime that ends the process ------------------------------------------

// A runtime that rejects an option prints why and ends the process itself:
// HotSpot calls the abort hook and exits with 1 (for -Xmx1k, say), other
// runtimes call the exit hook with their code.
TEST_F(LauncherRun, ARuntimeThatEndsTheProcessWhileStartingIsReported)
{
    const std::string prints = "prints \"Error occurred during initialization of VM\\n\" "
                               "prints \"Too small maximum heap\" prints \"\\n\"\n";
    const Lines printed = {"vfprintf hook \"Error occurred during initialization of VM\\u000a\"",
                           "vfprintf hook \"Too small maximum heap\"", "vfprintf hook \"\\u000a\""};
    const std::string words = "Error occurred during initialization of VM\nToo small maximum heap";
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"create aborts " + prints, words, "abort hook"},
        {"create exits 1 " + prints, words, "exit hook 1"},
        {"create exits 3\n", "The Java runtime ended the process with exit code 3", "exit hook 3"},
        {"create aborts\n", "The Java runtime aborted", "abort hook"},
    };
    config.vmOption = {"-Xmx1k"};
    config.classPath = {"/x/a.jar"};
    for (const auto& [creation, text, hook] : cases) {
        prepare(creation + kStatic);
        RunResult result = launch({});
        const std::string error = "Error creating VM. " + text;
        EXPECT_EQ(result.exitCode, kFailureExit) << describe(result);
        EXPECT_NE(result.err.find("Exception: " + error + "\n"), std::string::npos) << describe(result);
        EXPECT_TRUE(showedErrorBox(result, "Failed to start application: " + error)) << describe(result);
        if (text == words) {
            EXPECT_EQ(result.err.find(words + "\n"), 0u) << "passed on as the runtime wrote it\n" << describe(result);
        }

        Lines lines = app.trace();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0].rfind("JNI_CreateJavaVM version=0xa0000 ignoreUnrecognized=1 options=[" + kHooks +
                                     ", \"-Djava.class.path=/x/a.jar\", \"-Xmx1k\"] -> ",
                                 0),
                  0u)
            << lines[0];
        Lines ending = text == words ? printed : Lines{};
        ending.push_back(hook);
        EXPECT_EQ(Lines(lines.begin() + 1, lines.end()), ending) << "the launcher ended the process in the hook";
    }
}

TEST_F(LauncherRun, AnExitRequestedByJavaEndsTheLauncherWithItsCode)
{
    prepare("class sample/app/Main\n  static run ([Ljava/lang/String;)I exits 300\n");
    RunResult result = launch({"--lverbose"});
#ifdef _WIN32
    EXPECT_EQ(result.exitCode, 300) << describe(result);
    EXPECT_TRUE(result.boxes.empty()) << describe(result);
#else
    EXPECT_EQ(result.exitCode, 300 & 0xff) << describe(result);
#endif
    EXPECT_EQ(result.err, "") << describe(result);
    EXPECT_EQ(result.out.find("Application exited with code"), std::string::npos) << describe(result);
    const Lines calls = mainClassCalls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(Lines(calls.end() - 3, calls.end()),
              (Lines{"CallStaticIntMethod sample/app/Main.run [] -> 0", "exit hook 300", "exit 300"}));
}

TEST_F(LauncherRun, TheClassPathAndOptionsReachTheVirtualMachine)
{
    config.classPath = {"./lib/app.jar", "/x/a.jar", "lib/b.jar"};
    config.vmOption = {"-Xmx512m", "-Dname=va lue"};
    prepare(kStatic);
    writeTextFile(app.root() / "lib" / "app.jar", "");
    RunResult result = launch({"--lverbose"});
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    fs::path jar = fs::canonical(app.root() / "lib" / "app.jar");
#ifdef _WIN32
    const std::string classPath = jar.make_preferred().string() + ";/x/a.jar;lib/b.jar";
    const std::string tracedClassPath = escapedBackslashes(classPath);
#else
    const std::string classPath = jar.string() + ":/x/a.jar:lib/b.jar";
    const std::string tracedClassPath = classPath;
#endif
    EXPECT_NE(result.out.find("Using classpath: " + classPath + "\n"), std::string::npos) << describe(result);
    Lines lines = app.trace();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "JNI_CreateJavaVM version=0xa0000 ignoreUnrecognized=1 options=[" + kHooks +
                            ", \"-Djava.class.path=" + tracedClassPath + "\", \"-Xmx512m\", \"-Dname=va lue\"] -> 0");
}

// With "classDataArchive" the launcher records a class-data archive through
// the runtime's diagnostic command once the main method has returned, and
// asks for nothing of the kind from a runtime that cannot give it.
TEST_F(LauncherRun, AClassDataArchiveIsRecordedThroughTheDiagnosticCommand)
{
    config.classDataArchive = true;
    config.classPath = {"/x/a.jar"};
    config.vmOption = {"-Xmx512m"};
    prepare(std::string(kStatic) + "class java/lang/management/ManagementFactory\n"
                                   "  static getPlatformMBeanServer ()Ljavax/management/MBeanServer;\n"
                                   "class javax/management/ObjectName\n"
                                   "  constructor (Ljava/lang/String;)V\n"
                                   "class javax/management/MBeanServer\n"
                                   "  method invoke (Ljavax/management/ObjectName;Ljava/lang/String;[Ljava/lang/Object;"
                                   "[Ljava/lang/String;)Ljava/lang/Object;\n"
                                   "class java/lang/Object\n"
                                   "class java/lang/System\n"
                                   "  field out Ljava/io/PrintStream;\n"
                                   "  static setOut (Ljava/io/PrintStream;)V\n"
                                   "class java/io/OutputStream\n"
                                   "  static nullOutputStream ()Ljava/io/OutputStream;\n"
                                   "class java/io/PrintStream\n"
                                   "  constructor (Ljava/io/OutputStream;)V\n");
    const auto release = [&](const std::string& text) { writeTextFile(app.root() / "jre" / "release", text); };
    const std::string options = "JNI_CreateJavaVM version=0xa0000 ignoreUnrecognized=1 options=[" + kHooks +
                                ", \"-Djava.class.path=/x/a.jar\", ";

    // An elevated launcher never maps an archive (below); Wine runs every
    // process elevated unless told otherwise.
    RunOptions user;
    user.notElevated = true;
    release("JAVA_VERSION=\"17.0.9\"\nMODULES=\"java.base java.desktop java.management\"\n");
    RunResult recorded = launch({"--lverbose"}, user);
    EXPECT_EQ(recorded.exitCode, 0) << describe(recorded);
    // Joined as the launcher joins paths, like the snapshot beside it.
    const std::string snapshot = snapshotPath();
    const std::string archive = snapshot.substr(0, snapshot.rfind('/')) + "/classes.jsa";
    EXPECT_NE(recorded.out.find("Class data archive: recording for " + archive + "\n"), std::string::npos)
        << describe(recorded);
    Lines lines = app.trace();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], options + "\"-XX:+RecordDynamicDumpInfo\", \"-Xlog:cds*=off\", \"-Xmx512m\"] -> 0");
    const auto invoke = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.rfind("CallObjectMethod javax/management/MBeanServer.invoke", 0) == 0;
    });
    ASSERT_NE(invoke, lines.end()) << "no dump asked for";
    EXPECT_EQ(invoke->rfind("CallObjectMethod javax/management/MBeanServer.invoke object javax/management/ObjectName "
                            "\"vmCds\" [[\"dynamic_dump\", \"" +
                                escapedBackslashes(archive) + ".",
                            0),
              0u)
        << *invoke;
    EXPECT_GT(invoke - std::find(lines.begin(), lines.end(), theCall()), 0) << "after the main method returned";
    // The command's report would go to the application's System.out: another
    // stream stands in for it meanwhile.
    const std::string setOut = "CallStaticVoidMethod java/lang/System.setOut object java/io/PrintStream";
    EXPECT_NE(std::find(lines.begin(), invoke, setOut), invoke) << "System.out not replaced before";
    EXPECT_NE(std::find(invoke, lines.end(), setOut), lines.end()) << "System.out not put back after";

    // Runtimes that cannot write one are not asked to.
    for (const auto& [text, reason] : {std::pair<std::string, std::string>{"JAVA_VERSION=\"11.0.20\"\n",
                                                                           "the runtime is Java 11, older than 17"},
                                       {"JAVA_VERSION=\"17.0.9\"\nMODULES=\"java.base java.desktop\"\n",
                                        "the runtime has no java.management module"}}) {
        release(text);
        fs::remove(app.standInDirectory() / "trace.txt");
        RunResult unable = launch({"--lverbose"}, user);
        EXPECT_EQ(unable.exitCode, 0) << describe(unable);
        EXPECT_NE(unable.out.find("Class data archive: not possible because " + reason + "\n"), std::string::npos)
            << describe(unable);
        EXPECT_EQ(app.trace().at(0), options + "\"-Xmx512m\"] -> 0");
    }

    // The runtime reads a separator in the archive's path as a list of
    // archives: such a path gets none.
#ifdef _WIN32
    const std::string separator = ";";
#else
    const std::string separator = ":";
#endif
    release("JAVA_VERSION=\"17.0.9\"\nMODULES=\"java.base java.desktop java.management\"\n");
    for (const std::string& name : {"a" + separator + "b", "a" + separator + "b" + separator + "c"}) {
        fs::remove_all(userFolder);
        config.packageName = std::string("launcher_run_") + testName() + name;
#ifdef _WIN32
        userFolder = fs::path(*applicationDataFolder()) / config.packageName;
#else
        userFolder = dataFolder / config.packageName;
#endif
        app.writeConfig(config);
        fs::remove(app.standInDirectory() / "trace.txt");
        RunResult listed = launch({"--lverbose"}, user);
        EXPECT_EQ(listed.exitCode, 0) << describe(listed);
        const std::string listedSnapshot = snapshotPath();
        const std::string path = listedSnapshot.substr(0, listedSnapshot.rfind('/')) + "/classes.jsa";
        EXPECT_NE(listed.out.find("Class data archive: not possible because its path holds the separator " +
                                  separator + ", which the runtime reads as a list of archives: " + path + "\n"),
                  std::string::npos)
            << describe(listed);
        EXPECT_EQ(app.trace().at(0), options + "\"-Xmx512m\"] -> 0");
    }
}

// The class path separator is a legal character in a folder's name: in the
// application folder's path it would split every entry below it, and give
// the part after it to whoever controls the current folder.
TEST_F(LauncherRun, AnApplicationFolderWithTheClassPathSeparatorIsRefused)
{
#ifdef _WIN32
    const std::string separator = ";";
#else
    const std::string separator = ":";
#endif
    const AppLayout odd{std::string(testName()) + "_x" + separator + "y"};
    config.classPath = {"./lib"};
    odd.writeConfig(config);
    odd.makeLib();
    odd.installStandIn(kStatic);
    RunOptions options;
    options.workingDirectory = app.root().string();
    options.timeoutMs = 30000;
    options.environment.push_back({"XDG_DATA_HOME", dataFolder.string()});
    RunResult result = runProgram(odd.launcher().string(), {}, options);
    const std::string location = "Current launcher location: ";
    const size_t at = result.out.find(location);
    ASSERT_NE(at, std::string::npos) << describe(result);
    std::string folder = result.out.substr(at + location.size(), result.out.find('\n', at) - at - location.size());
    folder = folder.substr(0, folder.find_last_of("/\\"));
    const std::string text = "The application folder holds the class path separator " + separator +
                             ", so Java would take classes from the current folder: " + folder;
    EXPECT_EQ(result.exitCode, kFailureExit) << describe(result);
    EXPECT_TRUE(showedErrorBox(result, "Failed to start application: " + text)) << describe(result);
    EXPECT_FALSE(fs::exists(odd.standInDirectory() / "trace.txt")) << "a virtual machine was made";
}

#ifdef _WIN32
// The archive is mapped as code from the per-user folder, which the user and
// every program the user runs can write: an elevated launcher (the one an
// elevated updater started without a shell to ask) asks for none.
TEST_F(LauncherRun, AnElevatedLauncherMapsNoClassDataArchive)
{
    config.classDataArchive = true;
    config.classPath = {"/x/a.jar"};
    prepare(kStatic);
    writeTextFile(app.root() / "jre" / "release",
                  "JAVA_VERSION=\"17.0.9\"\nMODULES=\"java.base java.desktop java.management\"\n");
    RunResult result = launch({"--lverbose"});
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_NE(result.out.find("Class data archive: not used because the launcher runs elevated\n"), std::string::npos)
        << describe(result);
    Lines lines = app.trace();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "JNI_CreateJavaVM version=0xa0000 ignoreUnrecognized=1 options=[" + kHooks +
                            ", \"-Djava.class.path=/x/a.jar\"] -> 0");
    EXPECT_FALSE(fs::exists(userFolder / "classes.jsa"));
}
#endif

// An empty class path would be the current folder to Java; so would a
// classPath that is a string and not an array.
TEST_F(LauncherRun, AnEmptyClassPathIsRefused)
{
    const std::string text = "The class path is empty, which Java reads as the current folder";
    for (const char* classPath : {"[]", "\"./lib/app.jar\""}) {
        config.classPath.clear();
        prepare(kStatic);
        std::string json = config.json();
        json.replace(json.find("\"classPath\": []"), 15, std::string("\"classPath\": ") + classPath);
        app.writeConfigText(json);
        RunResult result = launch({});
        EXPECT_EQ(result.exitCode, kFailureExit) << describe(result);
        EXPECT_NE(result.err.find("Exception: " + text + "\n"), std::string::npos) << describe(result);
        EXPECT_TRUE(showedErrorBox(result, "Failed to start application: " + text)) << describe(result);
        EXPECT_FALSE(fs::exists(app.standInDirectory() / "trace.txt")) << "no virtual machine";
    }
}

TEST_F(LauncherRun, AClassPathEntryThatNamesNothingFails)
{
    config.classPath = {"./lib/*"};
    prepare(kStatic);
    RunResult result = launch({});
    EXPECT_EQ(result.exitCode, kFailureExit) << describe(result);
    ASSERT_EQ(result.err.rfind("Exception: boost::filesystem::canonical: ", 0), 0u) << describe(result);
    const std::string text = result.err.substr(11, result.err.find('\n') - 11);
    EXPECT_NE(text.find("lib"), std::string::npos) << text;
    EXPECT_TRUE(showedErrorBox(result, "Failed to start application: " + text)) << describe(result);
    EXPECT_FALSE(fs::exists(app.standInDirectory() / "trace.txt")) << "no virtual machine";
}

TEST_F(LauncherRun, TheRuntimeFolderCanBeGivenOnTheCommandLine)
{
    prepare(kStatic);
    fs::path other = app.root() / "other-jre";
    installStandInRuntime(other, kStatic);
    RunResult result = launch({"--ljrepath", "other-jre"});
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_TRUE(fs::exists(standInServerDirectory(other) / "trace.txt"));
    EXPECT_FALSE(fs::exists(app.standInDirectory() / "trace.txt"));
}

// Windows runs the launcher in UTF-8 (its manifest): every character of the
// command line has a narrow form, and Java gets it back.
TEST_F(LauncherRun, ArgumentsOutsideAsciiReachJavaAsTheirCharacters)
{
    prepare(kStatic);
    RunResult result = launch({"caf\xc3\xa9", "\xe2\x82\xac", "\xe4\xb8\xad", "\xf0\x9f\x98\x80"});
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_EQ(theCall(), "CallStaticIntMethod sample/app/Main.run [\"caf\\u00e9\", \"\\u20ac\", "
                                           "\"\\u4e2d\", \"\\ud83d\\ude00\"] -> 3");
}

// A character must never turn into a look-alike on its way to narrow text
// (Windows' best-fit mapping made U+FF0D a '-' and "ł" an 'l'): not into a
// launcher option, not into another file, not into another folder.
TEST_F(LauncherRun, LookAlikesStayWhatTheyAre)
{
    config.mainClass = "decoy.Main";
    app.writeConfig(config);
    writeTextFile(app.root() / "cfgl.json", config.json());
    config.mainClass = "sample.app.Main";
    // Named through the file system's own (wide) calls.
    writeTextFile(app.root() / "cfg-own.json", config.json());
    fs::rename(app.root() / "cfg-own.json", app.root() / test_paths::fromUtf8("cfg\xc5\x82.json"));
    prepare(kStatic);
    const fs::path elsewhere = app.root() / "elsewhere";
    installStandInRuntime(elsewhere, kStatic);

    const std::string dashes = "\xef\xbc\x8d\xef\xbc\x8d"; // U+FF0D twice
    RunResult result = launch({"--lcfgfile=cfg\xc5\x82.json", dashes + "ljrepath=" + elsewhere.string(),
                               dashes + "lhelp", "--\xc5\x82verbose"});
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_EQ(result.out.find("Using config file"), std::string::npos) << "no verbose mode\n" << describe(result);
#ifdef _WIN32
    EXPECT_TRUE(result.boxes.empty()) << "no help box\n" << describe(result);
#endif
    EXPECT_FALSE(fs::exists(standInServerDirectory(elsewhere) / "trace.txt")) << "the runtime came from elsewhere";
    EXPECT_EQ(theCall(), "CallStaticIntMethod sample/app/Main.run [\"\\uff0d\\uff0dljrepath=" +
                                               escapedBackslashes(elsewhere.string()) +
                                               "\", \"\\uff0d\\uff0dlhelp\", \"--\\u0142verbose\"] -> 3");

    // Installed in a folder "apł", the launcher reads its own folder, not its
    // neighbour "apl".
    const fs::path installs = test_paths::freshDirectory("look_alike_installs");
    const fs::path own = installs / test_paths::fromUtf8("ap\xc5\x82");
    fs::copy(app.root(), own, fs::copy_options::recursive);
    fs::copy(app.root(), installs / "apl", fs::copy_options::recursive);
    writeTextFile(installs / "apl" / "cfg" / (app.launcher().stem().string() + ".json"),
                  readTextFile(app.root() / "cfgl.json"));
    for (const fs::path& copy : {own, installs / "apl"})
        fs::remove(standInServerDirectory(copy / "jre") / "trace.txt");
    RunOptions options;
    options.timeoutMs = 30000;
    const std::string launcher = utf8Of(own / app.launcher().filename());
    RunResult installed = runProgram(launcher, {}, options);
    EXPECT_EQ(installed.exitCode, 0) << describe(installed);
    EXPECT_EQ(installed.out.rfind("Current launcher location: " + launcher + "\n", 0), 0u) << describe(installed);
    EXPECT_TRUE(fs::exists(standInServerDirectory(own / "jre") / "trace.txt"));
    EXPECT_FALSE(fs::exists(standInServerDirectory(installs / "apl" / "jre") / "trace.txt")) << "the neighbour ran";
}

#ifdef _WIN32
// Registered a second time with LC_ALL=zh_CN.UTF-8, which gives Wine the
// Chinese code page 936: it holds both "é" and a CJK character.
TEST_F(LauncherRun, ChineseCodePageKeepsCjkArguments)
{
    ASSERT_EQ(GetACP(), 936u) << "run through the launcher_run_cp936 test";
    prepare(kStatic);
    RunResult result = launch({"\xc3\xa9\xe4\xb8\xad"});
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_EQ(theCall(), "CallStaticIntMethod sample/app/Main.run [\"\\u00e9\\u4e2d\"] -> 3");
}
#endif

// --- the decision to install or update first -------------------------------

TEST_F(LauncherRun, NoLibFolderAsksForAnInstallation)
{
    prepare(kStatic, /*withLib=*/false);
    fs::path record = placeRecorder(app.root() / "updater");
    RunResult result = launch({"--lverbose"});
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_EQ(receivedBy(record), args({"--uapp", config.packageName, "--ucaller", app.launcher().string(),
                                        "--uappDir", app.root().string(), "--uwebInstall"}));
    EXPECT_NE(result.out.find("Run WebInstall, forceInstall: 0, has install.me: 0, has lib dir: 0\n"),
              std::string::npos)
        << describe(result);
    EXPECT_NE(result.out.find("Updater returns code: 1\n"), std::string::npos) << describe(result);
    EXPECT_FALSE(fs::exists(app.standInDirectory() / "trace.txt")) << "no virtual machine after a hand-off";
}

TEST_F(LauncherRun, InstallMeAndForceInstallAskForAnInstallationToo)
{
    prepare(kStatic);
    writeTextFile(app.root() / "install.me", "");
    fs::path record = placeRecorder(app.root() / "updater");
    RunResult result = launch({"--lverbose"});
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_EQ(receivedBy(record).at(6), "arg: --uwebInstall");
    EXPECT_NE(result.out.find("Run WebInstall, forceInstall: 0, has install.me: 1, has lib dir: 1\n"),
              std::string::npos);

    fs::remove(app.root() / "install.me");
    fs::remove(record);
    RunResult forced = launch({"--lforceInstall", "--lverbose"});
    EXPECT_EQ(forced.exitCode, 0) << describe(forced);
    EXPECT_EQ(receivedBy(record).at(6), "arg: --uwebInstall");
    EXPECT_NE(forced.out.find("Run WebInstall, forceInstall: 1, has install.me: 0, has lib dir: 1\n"),
              std::string::npos);
}

TEST_F(LauncherRun, AnInstallationWithTheConsoleAsksTheUpdaterForItsConsole)
{
    prepare(kStatic, /*withLib=*/false);
    fs::path record = placeRecorder(app.root() / "updater");
    RunResult result = launch({"--lconsole"});
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    Lines got = receivedBy(record);
    EXPECT_EQ(Lines(got.begin() + 6, got.end()), (Lines{"arg: --uverbose", "arg: --uconsole", "arg: --uwebInstall",
                                                        "end"}));
}

TEST_F(LauncherRun, AnUpdaterThatCannotStartLetsTheApplicationRun)
{
    config.invokeUpdater = true;
    prepare(kStatic);
    writeTextFile(userFolder / "snapshot.json", "{}");
    RunResult result = launch({"--lverbose"});
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_NE(result.out.find("Updater returns code: 0\n"), std::string::npos) << describe(result);
    EXPECT_FALSE(mainClassCalls().empty()) << "the application ran";
#ifdef _WIN32
    EXPECT_TRUE(result.boxes.empty()) << "a failed start shows no shell dialog\n" << describe(result);
#endif
}

TEST_F(LauncherRun, InvokeUpdaterWithoutASnapshotStartsTheApplication)
{
    config.invokeUpdater = true;
    prepare(kStatic);
    fs::path record = placeRecorder(app.root() / "updater");
    RunResult result = launch({"--lverbose"});
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_NE(result.out.find("No snapshot.json exists at: " + snapshotPath() + "\n"), std::string::npos)
        << describe(result);
    EXPECT_NE(result.out.find("Updater returns code: 0\n"), std::string::npos);
    EXPECT_FALSE(mainClassCalls().empty());
    EXPECT_FALSE(fs::exists(record));
}

TEST_F(LauncherRun, AWaitingSnapshotHandsOverWithoutAnInstallationRequest)
{
    config.invokeUpdater = true;
    prepare(kStatic);
    writeTextFile(userFolder / "snapshot.json", "{}");
    fs::path besideLauncher = placeRecorder(app.root() / "updater");
    fs::path perUser = placeRecorder(userFolder / "updater");
    RunResult result = launch({"--lverbose"});
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    // The per-user updater wins over the one beside the launcher.
    EXPECT_EQ(receivedBy(perUser), args({"--uapp", config.packageName, "--ucaller", app.launcher().string(),
                                       "--uappDir", app.root().string()}));
    EXPECT_FALSE(fs::exists(besideLauncher));
    const std::string updater = (userFolder / kUpdaterProgramName).string();
    EXPECT_NE(result.out.find("Invoke updater: "), std::string::npos) << describe(result);
    EXPECT_FALSE(fs::exists(app.standInDirectory() / "trace.txt"));
}

TEST_F(LauncherRun, ResultHundredAsksForTheUpdaterAgain)
{
    prepare("class sample/app/Main\n  static run ([Ljava/lang/String;)I returns 100\n");
    RunResult none = launch({"--lverbose"});
    EXPECT_EQ(none.exitCode, 0) << describe(none);
    EXPECT_NE(none.out.find("Application exited with code: 100\nNo snapshot.json exists at: " + snapshotPath() +
                            "\n"),
              std::string::npos)
        << describe(none);

    writeTextFile(userFolder / "snapshot.json", "{}");
    fs::path record = placeRecorder(app.root() / "updater");
    RunResult waiting = launch({"--lconsole", "x"});
    EXPECT_EQ(waiting.exitCode, 0) << describe(waiting);
    EXPECT_EQ(receivedBy(record), args({"--uapp", config.packageName, "--ucaller", app.launcher().string(),
                                        "--uappDir", app.root().string(), "--uverbose", "--uconsole"}));

    // A thread that ends the process with System.exit while the machine's
    // end waits for it changes nothing: the updater starts, the code is 0.
    fs::remove(record);
    prepare("destroy exits 3\nclass sample/app/Main\n  static run ([Ljava/lang/String;)I returns 100\n");
    RunResult exiting = launch({});
    EXPECT_EQ(exiting.exitCode, 0) << describe(exiting);
    EXPECT_EQ(receivedBy(record), args({"--uapp", config.packageName, "--ucaller", app.launcher().string(),
                                        "--uappDir", app.root().string()}));
    const Lines calls = mainClassCalls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "exit hook 3"), calls.end()) << "the runtime did not exit";
}

// The way out of an update that never completes: the installed version
// runs, and no updater starts, neither before nor after the method.
TEST_F(LauncherRun, NoUpdateRunsTheInstalledVersionAndStartsNoUpdater)
{
    config.invokeUpdater = true;
    prepare("class sample/app/Main\n  static run ([Ljava/lang/String;)I returns 100\n");
    writeTextFile(userFolder / "snapshot.json", "{}");
    writeTextFile(app.root() / "install.me", "");
    const fs::path record = placeRecorder(app.root() / "updater");
    RunResult result = launch({"--lnoUpdate", "--lverbose"});
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_NE(result.out.find("No update in this run (--lnoUpdate)\n"), std::string::npos) << describe(result);
    EXPECT_NE(result.out.find("Application exited with code: 100\n"), std::string::npos) << describe(result);
    EXPECT_EQ(result.out.find("Invoke updater"), std::string::npos) << describe(result);
    EXPECT_FALSE(fs::exists(record)) << "an updater was started";
}

#ifdef _WIN32
// The real ShellExecuteExA hands the updater its parameters as one text.
TEST_F(LauncherRun, TheUpdaterGetsItsCommandLineThroughTheShell)
{
    prepare(kStatic, /*withLib=*/false);
    fs::path record = placeRecorder(app.root() / "updater");
    RunResult result = launch({});
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    ASSERT_TRUE(waitForLastLine(record, "end", 20000));
    Lines lines = readLines(record);
    ASSERT_FALSE(lines.empty());
    const std::string parameters = " --uapp \"" + config.packageName + "\" --ucaller \"" + app.launcher().string() +
                                   "\" --uappDir \"" + app.root().string() + "\" --uwebInstall";
    const std::string& commandLine = lines[0];
    ASSERT_GE(commandLine.size(), parameters.size()) << commandLine;
    EXPECT_EQ(commandLine.substr(commandLine.size() - parameters.size()), parameters) << commandLine;
}

// A signed launcher starts the per-user updater, which anyone running as the
// user can replace, only when the launcher's own certificate signed it and
// the signature covers the file as it is; otherwise the one beside it. The
// copies are signed at build time with two throwaway certificates A and B
// (tests/support/sign_copies.cmake); the launcher by A.
TEST_F(LauncherRun, ASignedLauncherStartsOnlyAPerUserUpdaterSignedLikeItself)
{
    config.invokeUpdater = true;
    prepare(kStatic);
    const fs::path signedCopies = test_paths::helperProgram("record_args").parent_path() / "signed";
    fs::copy_file(signedCopies / "launcher-a.exe", app.launcher(), fs::copy_options::overwrite_existing);
    writeTextFile(userFolder / "snapshot.json", "{}");
    const fs::path userUpdaterFolder = userFolder / "updater";
    // As the launcher joins them.
    const std::string userUpdater =
        applicationDataFolder().value() + "/" + config.packageName + "/updater/" + kUpdaterProgramName;
    const std::string besideUpdater = app.root().string() + "/updater/" + kUpdaterProgramName;

    struct Case {
        fs::path copy;
        std::string reason; // empty: the per-user updater is used
    };
    for (const Case& c : {Case{signedCopies / "record_args-a.exe", ""},
                          Case{signedCopies / "record_args-b.exe", "it is signed by another certificate than the launcher"},
                          Case{test_paths::helperProgram("record_args"), "it is not signed, and the launcher is"},
                          Case{signedCopies / "record_args-a-changed.exe",
                               "its signature does not verify (0x80096010)"}}) {
        SCOPED_TRACE(c.copy.filename().string());
        fs::remove_all(userUpdaterFolder);
        fs::create_directories(userUpdaterFolder);
        fs::copy_file(c.copy, userUpdaterFolder / kUpdaterProgramName);
        const fs::path beside = placeRecorder(app.root() / "updater");
        fs::remove(beside);
        RunResult result = launch({"--lverbose"});
        EXPECT_EQ(result.exitCode, 0) << describe(result);
        const fs::path started = c.reason.empty() ? userUpdaterFolder / "received.txt" : beside;
        const fs::path passedOver = c.reason.empty() ? beside : userUpdaterFolder / "received.txt";
        const std::string line = (c.reason.empty() ? "" : "Per-user updater not used, because " + c.reason + ": " +
                                                              userUpdater + "\n") +
                                 "Invoke updater: " + (c.reason.empty() ? userUpdater : besideUpdater) +
                                 ", command line: ";
        EXPECT_NE(result.out.find(line), std::string::npos) << describe(result);
        EXPECT_FALSE(receivedBy(started).empty());
        EXPECT_FALSE(fs::exists(passedOver));
    }
}

// An application at a drive root has the directory "D:\\": quoted as it is,
// the closing quote would be escaped and the updater would misread the rest.
// Drive R: maps the work folder drive_root (see tests/CMakeLists.txt).
TEST(LauncherAtDriveRoot, ItsDirectoryReachesTheUpdaterIntact)
{
    ASSERT_TRUE(displayForBoxes());
    AppLayout app("drive_root");
    AppConfig config;
    config.packageName = "launcher_run_drive_root";
    app.writeConfig(config);
    app.installStandIn(kStatic);
    fs::create_directories(app.root() / "updater");
    fs::copy_file(test_paths::helperProgram("record_args"), app.root() / "updater" / kUpdaterProgramName);
    RunOptions options;
    options.workingDirectory = "R:\\";
    options.timeoutMs = 30000;
    RunResult result = runProgram("R:\\launcher.exe", {"--lverbose"}, options);
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    fs::path received = app.root() / "updater" / "received.txt";
    ASSERT_TRUE(waitForLastLine(received, "end", 20000)) << describe(result);
    Lines lines = readLines(received);
    EXPECT_EQ(Lines(lines.begin() + 1, lines.end()),
              args({"--uapp", config.packageName, "--ucaller", "R:\\launcher.exe", "--uappDir", "R:\\",
                    "--uwebInstall"}));
    EXPECT_NE(lines[0].find("--uappDir \"R:\\\\\" --uwebInstall"), std::string::npos) << lines[0];
}
#endif

} // namespace
