// The Linux launcher runs Java fixture classes in the machine's real JVM.
#include "app_layout.h"
#include "process_runner.h"
#include "test_paths.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>

#include <algorithm>
#include <optional>

namespace fs = boost::filesystem;

namespace {

class LauncherJava : public ::testing::Test {
protected:
    AppLayout app{std::string("java_") + ::testing::UnitTest::GetInstance()->current_test_info()->name()};
    fs::path data = test_paths::freshDirectory(std::string("java_data_") +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());

    RunResult run(const std::string& mainClass, const std::vector<std::string>& arguments,
                  std::vector<std::string> vmOptions = {})
    {
        AppConfig config;
        config.mainClass = mainClass;
        config.classPath = {test_paths::javaFixtures().string()};
        config.vmOption = std::move(vmOptions);
        app.writeConfig(config);
        app.makeLib();
        if (!fs::exists(app.root() / "jre"))
            app.linkRealJava();
        RunOptions options;
        options.timeoutMs = 60000;
        options.environment.push_back({"XDG_DATA_HOME", data.string()});
        return runProgram(app.launcher().string(), arguments, options);
    }

    // The fixtures as lib/fixtures.jar: the archive takes jars only.
    void fixturesJar()
    {
        RunOptions quick;
        quick.timeoutMs = 60000;
        ASSERT_EQ(runProgram((test_paths::javaHome() / "bin" / "jar").string(),
                             {"--create", "--file", (app.root() / "lib" / "fixtures.jar").string(), "-C",
                              test_paths::javaFixtures().string(), "fixtures"},
                             quick)
                      .exitCode,
                  0);
    }

    // An application of jars (the archive takes jars only) that keeps a
    // class-data archive.
    void archivedApplication()
    {
        fs::create_directories(app.root() / "lib");
        ASSERT_NO_FATAL_FAILURE(fixturesJar());
        AppConfig config;
        config.mainClass = "fixtures.StaticMain";
        config.classPath = {"./lib/fixtures.jar"};
        config.classDataArchive = true;
        app.writeConfig(config);
        app.linkRealJava();
    }

    // The launcher, verbose; `through` is a program that starts it (unshare).
    RunResult startArchived(const std::vector<std::string>& through = {})
    {
        RunOptions options;
        options.timeoutMs = 30000;
        options.environment.push_back({"XDG_DATA_HOME", data.string()});
        std::vector<std::string> arguments(through.begin() + (through.empty() ? 0 : 1), through.end());
        arguments.push_back(app.launcher().string());
        arguments.push_back("--lverbose");
        if (through.empty())
            return runProgram(app.launcher().string(), {"--lverbose"}, options);
        return runProgram(through[0], arguments, options);
    }

    fs::path archive() const { return data / "sampleapp" / "classes.jsa"; }
};

TEST_F(LauncherJava, StaticStyleNeverRunsTheConstructor)
{
    RunResult result = run("fixtures.StaticMain", {"a", "b", "c"}, {"-Dfixture.result=3"});
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_NE(result.out.find("static run count=3\narg[0]=a\narg[1]=b\narg[2]=c\n"), std::string::npos)
        << describe(result);
    EXPECT_EQ(result.out.find("constructed"), std::string::npos) << describe(result);
}

TEST_F(LauncherJava, InstanceStyleRunsTheConstructorOnceAndPassesAnEmptyArray)
{
    RunResult result = run("fixtures/InstanceMain", {"--lverbose"});
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    const std::string out = result.out;
    size_t constructed = out.find("constructed\n");
    ASSERT_NE(constructed, std::string::npos) << describe(result);
    EXPECT_EQ(out.find("constructed\n", constructed + 1), std::string::npos) << "once";
    EXPECT_NE(out.find("instance run count=0\n"), std::string::npos) << describe(result);
    EXPECT_NE(out.find("Application exited with code: 0\n"), std::string::npos) << describe(result);
    EXPECT_EQ(result.err, "");
}

TEST_F(LauncherJava, MissingPiecesFailWithTheirTexts)
{
    const std::pair<std::string, std::string> cases[] = {
        {"sample.app.Main", "The main class is not found: sample/app/Main"},
        {"fixtures.NoDefaultConstructor", "The default constructor is not found for: fixtures/NoDefaultConstructor"},
        {"fixtures.ThrowingConstructor", "Failed to create object for: fixtures/ThrowingConstructor"},
        {"fixtures.VoidRun", "The main method: void run(String[] argv) is not found in class: fixtures.VoidRun"},
    };
    for (const auto& [mainClass, text] : cases) {
        RunResult result = run(mainClass, {});
        EXPECT_EQ(result.exitCode, 574 & 0xff) << describe(result);
        EXPECT_NE(result.err.find("Exception: " + text + "\nFailed to start application: " + text + "\n"),
                  std::string::npos)
            << describe(result);
        EXPECT_EQ(result.out.find("must not run"), std::string::npos);
    }
    // The instance style has made its object before it finds no method.
    RunResult voidRun = run("fixtures.VoidRun", {});
    EXPECT_NE(voidRun.out.find("constructed\n"), std::string::npos) << describe(voidRun);
}

TEST_F(LauncherJava, AThrowingMethodPrintsItsStackTraceAndTheLauncherReturnsZero)
{
    RunResult result = run("fixtures.Throwing", {"--lverbose"});
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_NE(result.err.find("java.lang.IllegalStateException: boom from Java"), std::string::npos)
        << describe(result);
    EXPECT_NE(result.err.find("at fixtures.Throwing.run"), std::string::npos) << describe(result);
}

TEST_F(LauncherJava, ArgumentsReachJavaAsTheirCharacters)
{
    RunResult result = run("fixtures.StaticMain", {"caf\xc3\xa9", "\xe4\xb8\xad", "\xf0\x9f\x98\x80", ""});
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_NE(result.out.find("static run count=4\narg[0]=caf\\u00e9\narg[1]=\\u4e2d\narg[2]=\\ud83d\\ude00\n"
                              "arg[3]=\n"),
              std::string::npos)
        << describe(result);
}

TEST_F(LauncherJava, ResultHundredWithoutASnapshotEndsNormally)
{
    RunResult result = run("fixtures.StaticMain", {"--lverbose"}, {"-Dfixture.result=100"});
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_NE(result.out.find("Application exited with code: 100\nNo snapshot.json exists at: " + data.string() +
                              "/sampleapp/snapshot.json\n"),
              std::string::npos)
        << describe(result);
}

// The runtime rejects the option and ends the process itself; the launcher
// reports its words as any failure.
TEST_F(LauncherJava, ARejectedOptionIsReportedInTheRuntimesOwnWords)
{
    RunResult result = run("fixtures.StaticMain", {}, {"-Xmx1k"});
    const std::string text = "Error creating VM. Error occurred during initialization of VM\nToo small maximum heap";
    EXPECT_EQ(result.exitCode, 574 & 0xff) << describe(result);
    EXPECT_NE(result.err.find("Exception: " + text + "\nFailed to start application: " + text + "\n"),
              std::string::npos)
        << describe(result);
    EXPECT_EQ(result.out.find("static run"), std::string::npos) << describe(result);
}

TEST_F(LauncherJava, SystemExitEndsTheLauncherWithItsCode)
{
    RunResult result = run("fixtures.Exiting", {"--lverbose"}, {"-Dfixture.exit=42"});
    EXPECT_EQ(result.exitCode, 42) << describe(result);
    EXPECT_NE(result.out.find("exiting\n"), std::string::npos) << describe(result);
    EXPECT_EQ(result.out.find("Application exited"), std::string::npos) << describe(result);
    EXPECT_EQ(result.err, "") << describe(result);
}

// The virtual machine's life ends as under java: shutdown hooks run and
// deleteOnExit files go, through a run method as through the ready runner,
// and the launcher's lines and exit code stay what they were.
TEST_F(LauncherJava, ShutdownHooksRunAsUnderJava)
{
    RunOptions quick;
    quick.timeoutMs = 60000;
    const fs::path underJava = data / "java-hook.txt";
    RunResult java = runProgram((test_paths::javaHome() / "bin" / "java").string(),
                                {"-cp", test_paths::javaFixtures().string(), "-Dfixture.hook=" + underJava.string(),
                                 "fixtures.StaticMain"},
                                quick);
    ASSERT_EQ(java.exitCode, 0) << describe(java);
    ASSERT_EQ(readTextFile(underJava), "hook ran\n");
    ASSERT_FALSE(fs::exists(underJava.string() + ".scratch"));

    const fs::path hook = data / "hook-ran.txt";
    RunResult result = run("fixtures.StaticMain", {"--lverbose"}, {"-Dfixture.hook=" + hook.string(), "-Dfixture.result=3"});
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_NE(result.out.find("static run count=0\nApplication exited with code: 3\n"), std::string::npos)
        << describe(result);
    EXPECT_EQ(result.err, "") << describe(result);
    EXPECT_EQ(readTextFile(hook), "hook ran\n") << "the hook did not run";
    EXPECT_FALSE(fs::exists(hook.string() + ".scratch"));

    fs::create_directories(app.root() / "lib");
    fs::copy_file(test_paths::toolsJar(), app.root() / "lib" / "tarnwick-tools.jar");
    fs::remove(hook);
    AppConfig config;
    config.mainClass = "io.tarnwick.tools.MainRunner";
    config.classPath = {"./lib/tarnwick-tools.jar", test_paths::javaFixtures().string()};
    config.vmOption = {"-Dio.tarnwick.main=fixtures.PlainMain", "-Dfixture.hook=" + hook.string()};
    app.writeConfig(config);
    RunOptions options;
    options.timeoutMs = 60000;
    options.environment.push_back({"XDG_DATA_HOME", data.string()});
    RunResult runner = runProgram(app.launcher().string(), {"--lverbose"}, options);
    EXPECT_EQ(runner.exitCode, 0) << describe(runner);
    EXPECT_NE(runner.out.find("main returned\nApplication exited with code: 0\n"), std::string::npos)
        << describe(runner);
    EXPECT_EQ(readTextFile(hook), "hook ran\n") << "the hook did not run through the runner";
    EXPECT_FALSE(fs::exists(hook.string() + ".scratch"));
}

// A thread that waits for the launcher's main thread to end goes on once the
// method has returned; when it then ends the process with System.exit, the
// launcher still ends as it would have: 0, its lines unchanged.
TEST_F(LauncherJava, AThreadThatOutlivesTheMethodAndExitsChangesNothing)
{
    RunResult result = run("fixtures.StaticMain", {"--lverbose"}, {"-Dfixture.lateExit=3", "-Dfixture.result=7"});
    EXPECT_FALSE(result.timedOut) << describe(result);
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_NE(result.out.find("Application exited with code: 7\n"), std::string::npos) << describe(result);
    EXPECT_NE(result.out.find("late exit 3\n"), std::string::npos) << "the main thread never ended\n"
                                                                  << describe(result);
    EXPECT_EQ(result.err, "") << describe(result);
}

// Each argument's string is released once it is in the array: the checked
// JNI counts local references and warns past its capacity.
TEST_F(LauncherJava, TenThousandArgumentsFitInTheLocalReferencesAndArriveIntact)
{
    std::vector<std::string> arguments;
    std::string expected = " count=10000\n";
    for (int i = 0; i < 10000; ++i) {
        arguments.push_back("a" + std::to_string(i));
        expected += "arg[" + std::to_string(i) + "]=a" + std::to_string(i) + "\n";
    }
    for (const std::string style : {"static run", "instance run"}) {
        RunResult result = run(style == "static run" ? "fixtures.StaticMain" : "fixtures.InstanceMain", arguments,
                               {"-Xcheck:jni"});
        EXPECT_EQ(result.exitCode, 0) << describe(result);
        EXPECT_NE(result.out.find(style + expected), std::string::npos) << style;
        EXPECT_EQ(result.out.find("WARNING"), std::string::npos) << result.out.substr(0, 2000);
        EXPECT_EQ(result.err, "") << result.err.substr(0, 2000);
    }
}

// The ready runner of tarnwick-tools.jar starts a plain main, waits for what
// java waits for, and reports its outcome as the launcher's result.
TEST_F(LauncherJava, TheReadyRunnerRunsAPlainMainToItsEnd)
{
    fs::create_directories(app.root() / "lib");
    fs::copy_file(test_paths::toolsJar(), app.root() / "lib" / "tarnwick-tools.jar");
    auto runner = [&](const std::string& mode, std::vector<std::string> vmOptions = {}) {
        AppConfig config;
        config.mainClass = "io.tarnwick.tools.MainRunner";
        config.classPath = {"./lib/tarnwick-tools.jar", test_paths::javaFixtures().string()};
        config.vmOption = std::move(vmOptions);
        config.vmOption.push_back("-Dfixture.mode=" + mode);
        app.writeConfig(config);
        if (!fs::exists(app.root() / "jre"))
            app.linkRealJava();
        RunOptions options;
        options.timeoutMs = 60000;
        options.environment.push_back({"XDG_DATA_HOME", data.string()});
        return runProgram(app.launcher().string(), {"--lverbose", "a", "b"}, options);
    };
    const std::string plain = "-Dio.tarnwick.main=fixtures.PlainMain";

    // A thread that main left running is waited for.
    RunResult worker = runner("worker", {plain});
    EXPECT_EQ(worker.exitCode, 0) << describe(worker);
    EXPECT_NE(worker.out.find("main got a,b\nmain returned\nworker done\nApplication exited with code: 0\n"),
              std::string::npos)
        << describe(worker);

    RunResult thrown = runner("throw", {plain});
    EXPECT_NE(thrown.err.find("Exception in thread \"main\" java.lang.IllegalStateException: boom from main\n"),
              std::string::npos)
        << describe(thrown);
    EXPECT_NE(thrown.out.find("Application exited with code: 1\n"), std::string::npos) << describe(thrown);

    RunResult update = runner("update", {plain});
    EXPECT_NE(update.out.find("Application exited with code: 100\n"), std::string::npos) << describe(update);

    // A main class whose static initialiser throws has failed, as any main.
    RunResult init = runner("init", {plain});
    EXPECT_NE(init.err.find("Exception in thread \"main\" java.lang.ExceptionInInitializerError\n"),
              std::string::npos)
        << describe(init);
    EXPECT_NE(init.err.find("Caused by: java.lang.IllegalStateException: boom from init\n"), std::string::npos)
        << describe(init);
    EXPECT_NE(init.out.find("Application exited with code: 1\n"), std::string::npos) << describe(init);

    // A thread that joins main's thread goes on when main returns, as under
    // java, and the runner waits for it.
    RunResult joiner = runner("joiner", {plain});
    EXPECT_FALSE(joiner.timedOut) << describe(joiner);
    EXPECT_NE(joiner.out.find("main returned\njoiner saw main end\nApplication exited with code: 0\n"),
              std::string::npos)
        << describe(joiner);

    RunResult unnamed = runner("");
    EXPECT_NE(unnamed.err.find("MainRunner: no application to run: name its main class with "
                               "-Dio.tarnwick.main=<class> in vmOption\n"),
              std::string::npos)
        << describe(unnamed);
    EXPECT_NE(unnamed.out.find("Application exited with code: 1\n"), std::string::npos) << describe(unnamed);

    // Outside the launcher there are no splash natives: nothing to hide, and
    // the application runs all the same.
    RunOptions options;
    options.timeoutMs = 60000;
    RunResult java = runProgram((test_paths::javaHome() / "bin" / "java").string(),
                                {"-cp", test_paths::toolsJar().string() + ":" + test_paths::javaFixtures().string(),
                                 plain, "-Dfixture.mode=worker", "io.tarnwick.tools.MainRunner", "x"},
                                options);
    EXPECT_EQ(java.exitCode, 0) << describe(java);
    EXPECT_EQ(java.out, "main got x\nmain returned\nworker done\n") << describe(java);
    EXPECT_EQ(java.err, "") << describe(java);
}

// The application's class-data archive on the real JVM: written by the first
// start, mapped by the next, recorded again when a jar changes or the
// archive is damaged; and without the key nothing of it happens.
TEST_F(LauncherJava, AClassDataArchiveIsWrittenUsedAndRenewed)
{
    fs::create_directories(app.root() / "lib");
    const fs::path jar = app.root() / "lib" / "tarnwick-tools.jar";
    fs::copy_file(test_paths::toolsJar(), jar);
    ASSERT_NO_FATAL_FAILURE(fixturesJar());
    const fs::path archive = data / "sampleapp" / "classes.jsa";
    std::vector<std::string> classPath = {"./lib/tarnwick-tools.jar", "./lib/fixtures.jar"};
    auto start = [&](std::optional<bool> key, std::vector<std::string> vmOptions = {}) {
        AppConfig config;
        config.mainClass = "fixtures.StaticMain";
        config.classPath = classPath;
        config.vmOption = std::move(vmOptions);
        config.classDataArchive = key;
        app.writeConfig(config);
        if (!fs::exists(app.root() / "jre"))
            app.linkRealJava();
        RunOptions options;
        options.timeoutMs = 60000;
        options.environment.push_back({"XDG_DATA_HOME", data.string()});
        return runProgram(app.launcher().string(), {"--lverbose"}, options);
    };
    const std::string prefix = "Class data archive: ";

    // Without the key: no line, no archive; with it false, the same.
    for (std::optional<bool> off : {std::optional<bool>(), std::optional<bool>(false)}) {
        RunResult plain = start(off);
        EXPECT_EQ(plain.exitCode, 0) << describe(plain);
        EXPECT_EQ(plain.out.find(prefix), std::string::npos) << describe(plain);
        EXPECT_FALSE(fs::exists(archive));
    }

    // A folder of classes on the class path would make the runtime end the
    // whole process when asked for the archive: none is attempted.
    classPath.push_back(test_paths::javaFixtures().string());
    RunResult folder = start(true);
    EXPECT_EQ(folder.exitCode, 0) << describe(folder);
    EXPECT_NE(folder.out.find(prefix + "not possible because the class path holds a folder with files (" +
                              test_paths::javaFixtures().string() + "); the archive takes jars only\n"),
              std::string::npos)
        << describe(folder);
    EXPECT_FALSE(fs::exists(archive));
    classPath.pop_back();

    RunResult first = start(true);
    EXPECT_EQ(first.exitCode, 0) << describe(first);
    EXPECT_NE(first.out.find(prefix + "recording for " + archive.string() + "\n"), std::string::npos)
        << describe(first);
    EXPECT_NE(first.out.find(prefix + "written in "), std::string::npos) << describe(first);
    EXPECT_EQ(first.out.find("Dynamic dump"), std::string::npos) << "the runtime's own report reached the output";
    EXPECT_TRUE(fs::exists(archive));

    // The runtime itself says that it maps the archive (its log, asked for
    // by a configured option that comes after the launcher's own).
    RunResult second = start(true, {"-Xlog:cds=info"});
    EXPECT_NE(second.out.find(prefix + "used " + archive.string() + "\n"), std::string::npos) << describe(second);
    EXPECT_NE(second.out.find("Mapped dynamic region"), std::string::npos) << describe(second);

    // A changed jar: recorded again.
    fs::last_write_time(jar, fs::last_write_time(jar) + 10);
    RunResult changed = start(true);
    EXPECT_NE(changed.out.find(prefix + "recording for "), std::string::npos) << describe(changed);
    EXPECT_NE(changed.out.find(prefix + "written in "), std::string::npos) << describe(changed);

    // A damaged archive is not trusted: recorded again and replaced.
    fs::permissions(archive, fs::perms::owner_read | fs::perms::owner_write);
    writeTextFile(archive, "not an archive");
    RunResult damaged = start(true);
    EXPECT_NE(damaged.out.find(prefix + "recording for "), std::string::npos) << describe(damaged);
    EXPECT_NE(damaged.out.find(prefix + "written in "), std::string::npos) << describe(damaged);
    RunResult renewed = start(true, {"-Xlog:cds=info"});
    EXPECT_NE(renewed.out.find(prefix + "used "), std::string::npos) << describe(renewed);
    EXPECT_NE(renewed.out.find("Mapped dynamic region"), std::string::npos) << describe(renewed);

    // An archive edited in place, its size and time kept, is not trusted;
    // nor is one damaged in the middle, which the runtime's own log would
    // otherwise have read to a crash.
    for (const char* edit : {"edited", "damaged"}) {
        const std::time_t time = fs::last_write_time(archive);
        std::string bytes = readTextFile(archive);
        ASSERT_GT(bytes.size(), 65536u);
        const size_t middle = bytes.size() / 2;
        if (std::string(edit) == "edited")
            bytes[middle] = static_cast<char>(bytes[middle] ^ 1);
        else
            std::fill(bytes.begin() + middle, bytes.begin() + middle + 4096, '\xff');
        fs::permissions(archive, fs::perms::owner_read | fs::perms::owner_write);
        writeTextFile(archive, bytes);
        fs::last_write_time(archive, time);
        RunResult again = start(true, {"-Xlog:cds=info"});
        EXPECT_EQ(again.exitCode, 0) << edit << "\n" << describe(again);
        EXPECT_NE(again.out.find("static run count=0\n"), std::string::npos) << edit << "\n" << describe(again);
        EXPECT_NE(again.out.find(prefix + "recording for "), std::string::npos) << edit << "\n" << describe(again);
        EXPECT_NE(again.out.find(prefix + "written in "), std::string::npos) << edit << "\n" << describe(again);
    }

    // An update follows the result 100: the class path is about to change.
    fs::last_write_time(jar, fs::last_write_time(jar) + 10);
    RunResult updating = start(true, {"-Dfixture.result=100"});
    EXPECT_NE(updating.out.find(prefix + "not written because an update follows\n"), std::string::npos)
        << describe(updating);
}

// The archive's path is given to the runtime as a list: a separator in it
// would name two archives (every later start refused) or drop sharing
// silently. There is no archive then, and the verbose line says why.
TEST_F(LauncherJava, AnArchivePathWithTheSeparatorMeansNoArchive)
{
    archivedApplication();
    for (const std::string folder : {"d:a:t", "d:at"}) {
        fs::remove_all(data);
        fs::create_directories(data / folder);
        RunOptions options;
        options.timeoutMs = 30000;
        options.environment.push_back({"XDG_DATA_HOME", (data / folder).string()});
        const std::string path = (data / folder / "sampleapp" / "classes.jsa").string();
        for (int start = 0; start < 2; ++start) {
            RunResult result = runProgram(app.launcher().string(), {"--lverbose"}, options);
            EXPECT_EQ(result.exitCode, 0) << folder << "\n" << describe(result);
            EXPECT_NE(result.out.find("static run count=0\n"), std::string::npos) << folder << "\n"
                                                                                   << describe(result);
            EXPECT_NE(result.out.find("Class data archive: not possible because its path holds the separator :, "
                                      "which the runtime reads as a list of archives: " +
                                      path + "\n"),
                      std::string::npos)
                << folder << "\n"
                << describe(result);
        }
    }
}

// Whatever stands in the data folder at the archive's names, none of it is
// read without limit or written through: a pipe or an endless device as the
// key, a link as the archive or as the key's temporary file.
TEST_F(LauncherJava, PlantedFilesAtTheArchivesNamesAreNeitherReadNorFollowed)
{
    archivedApplication();
    const fs::path folder = archive().parent_path();
    const fs::path key = archive().string() + ".key";
    auto recorded = [&](const RunResult& result, const std::string& what) {
        EXPECT_FALSE(result.timedOut) << what << "\n" << describe(result);
        EXPECT_EQ(result.exitCode, 0) << what << "\n" << describe(result);
        EXPECT_NE(result.out.find("Class data archive: recording for "), std::string::npos) << what << "\n"
                                                                                            << describe(result);
        EXPECT_NE(result.out.find("Class data archive: written in "), std::string::npos) << what << "\n"
                                                                                         << describe(result);
    };
    const auto reset = [&] {
        fs::remove_all(folder);
        fs::create_directories(folder);
        writeTextFile(archive(), "an archive");
    };

    reset();
    ASSERT_EQ(::mkfifo(key.c_str(), 0644), 0);
    recorded(startArchived(), "a pipe as the key");

    reset();
    fs::create_symlink("/dev/zero", key);
    recorded(startArchived(), "a link to /dev/zero as the key");

    // Someone else's read-only file keeps its mode and its text.
    const fs::path elsewhere = data / "elsewhere.txt";
    writeTextFile(elsewhere, "someone else's\n");
    fs::permissions(elsewhere, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::create_symlink(elsewhere, archive());
    recorded(startArchived(), "a link as the archive");
    EXPECT_EQ(fs::status(elsewhere).permissions() & fs::perms::all_all,
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(readTextFile(elsewhere), "someone else's\n");
    EXPECT_EQ(fs::symlink_status(archive()).type(), fs::regular_file);

    // The key's temporary name holds the process id: in a process namespace
    // of its own the launcher is process 1.
    RunOptions quick;
    quick.timeoutMs = 10000;
    const std::string unshare = "/usr/bin/unshare";
    if (!fs::exists(unshare) || runProgram(unshare, {"--pid", "--fork", "/bin/true"}, quick).exitCode != 0)
        GTEST_SKIP() << "no process namespace here for the key's temporary file";
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::create_symlink(elsewhere, key.string() + ".1.tmp");
    fs::permissions(elsewhere, fs::perms::owner_read | fs::perms::owner_write);
    recorded(startArchived({unshare, "--pid", "--fork"}), "a link as the key's temporary file");
    EXPECT_EQ(readTextFile(elsewhere), "someone else's\n") << "the key was written through the link";
}

// A full data folder: the runtime gives up writing the archive and ends the
// process itself; the launcher still ends with its own code and says so.
TEST_F(LauncherJava, AFullDiskWhileTheArchiveIsWrittenChangesNoExitCode)
{
    archivedApplication();
    struct Mount {
        std::string at;
        bool mounted = false;
        ~Mount()
        {
            if (mounted)
                ::umount2(at.c_str(), MNT_DETACH);
        }
    } small{data.string()};
    small.mounted = ::mount("tmpfs", small.at.c_str(), "tmpfs", 0, "size=1m") == 0;
    if (!small.mounted)
        GTEST_SKIP() << "a small file system cannot be mounted here";
    RunResult result = startArchived();
    EXPECT_FALSE(result.timedOut) << describe(result);
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_NE(result.out.find("static run count=0\n"), std::string::npos) << describe(result);
    EXPECT_NE(result.out.find("Class data archive: not written because the runtime ended while writing it "
                              "(is the disk full?)\n"),
              std::string::npos)
        << describe(result);
    EXPECT_FALSE(fs::exists(archive()));
}

} // namespace
