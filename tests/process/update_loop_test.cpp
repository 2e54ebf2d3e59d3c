// The whole update loop: the application asks for an update, the launcher
// hands over to the real updater, the updater's Java class applies the
// snapshot, the updater starts the launcher again, and the second run ends
// normally. Proven from the second run's own output.
#include "app_layout.h"
#include "process.h"
#include "process_runner.h"
#include "program_names.h"
#include "test_paths.h"
#include "test_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace fs = boost::filesystem;

namespace {

using Lines = std::vector<std::string>;

// The application folder with the real updater in updater/.
void placeUpdater(const AppLayout& app, const fs::path& runnerJar)
{
    fs::create_directories(app.root() / "updater" / "lib");
    fs::copy_file(test_paths::updaterProgram(), app.root() / "updater" / kUpdaterProgramName);
    fs::copy_file(runnerJar, app.root() / "updater" / "lib" / runnerJar.filename());
}

#ifdef _WIN32
TEST(UpdateLoop, UnderWineThroughTheShellWithTheStandIn)
{
    ASSERT_TRUE(displayForBoxes());
    AppLayout app("update_loop");
    AppConfig config;
    config.packageName = "update_loop_app";
    app.writeConfig(config);
    app.makeLib();
    const fs::path packageFolder = fs::path(*applicationDataFolder()) / config.packageName;
    fs::remove_all(packageFolder);
    const fs::path snapshot = packageFolder / "snapshot.json";
    writeTextFile(snapshot, "{}");
    writeTextFile(app.root() / "runner.jar", "");
    placeUpdater(app, app.root() / "runner.jar");

    // The application asks for an update while the snapshot waits; the
    // runner applies it by removing the snapshot.
    const std::string snapshotText = quotedLiteral(snapshot.string());
    app.installStandIn("class sample/app/Main\n"
                       "  static run ([Ljava/lang/String;)I when-exists " + snapshotText + " returns 100 returns 0\n"
                       "class io/tarnwick/updater/UpdaterRunner\n"
                       "  constructor\n"
                       "  method run ([Ljava/lang/String;)I deletes " + snapshotText + " returns 0\n");

    RunOptions options;
    options.workingDirectory = app.root().string();
    options.timeoutMs = 60000;
    options.watchAllProcesses = true;
    RunResult first = runProgram(app.launcher().string(), {"--lverbose", "first"}, options);
    EXPECT_EQ(first.exitCode, 0) << describe(first);
    EXPECT_NE(first.out.find("Application exited with code: 100\n"), std::string::npos) << describe(first);

    // The second launcher, started by the updater, writes the last lines.
    const fs::path trace = app.standInDirectory() / "trace.txt";
    const std::string secondRun = "CallStaticIntMethod sample/app/Main.run [] -> 0";
    // Only the second run passes no arguments; it has ended when the trace
    // ends with the machine's end after that call.
    ASSERT_TRUE(waitForLine(trace, secondRun, "", 60000)) << readTextFile(trace);
    ASSERT_TRUE(waitForLine(trace, "DetachCurrentThread -> 0", "DestroyJavaVM -> 0", 60000)) << readTextFile(trace);

    Lines lines = readLines(trace);
    Lines creations, calls;
    for (const std::string& line : lines) {
        if (line.rfind("JNI_CreateJavaVM", 0) == 0)
            creations.push_back(line);
        if (line.rfind("Call", 0) == 0)
            calls.push_back(line);
    }
    const std::string updaterJar = (app.root() / "updater" / "lib" / "runner.jar").string();
    ASSERT_EQ(creations.size(), 3u) << readTextFile(trace);
    EXPECT_EQ(creations[1], "JNI_CreateJavaVM version=0xa0000 ignoreUnrecognized=1 options=[\"vfprintf\", \"exit\", "
                            "\"abort\", \"-Djava.class.path=" +
                                escapedBackslashes((app.root() / "updater").string() + "/lib\\runner.jar") + "\"] -> 0");
    EXPECT_EQ(calls, (Lines{
                         "CallStaticIntMethod sample/app/Main.run [\"first\"] -> 100",
                         "CallIntMethod io/tarnwick/updater/UpdaterRunner.run [\"--updateDir=" +
                             escapedBackslashes(applicationDataFolder().value()) + "/" + config.packageName +
                             "\", \"--appDir=" + escapedBackslashes(app.root().string()) +
                             "\", \"--keepUpdate=false\", \"--webInstall=false\", \"--app=" + config.packageName +
                             "\"] -> 0",
                         secondRun,
                     }));
    EXPECT_FALSE(fs::exists(snapshot));
    EXPECT_TRUE(first.boxes.empty()) << describe(first);
    fs::remove_all(packageFolder);
}
#else
size_t count(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// The sample application, version 1.0, with version 1.1 on its update site,
// run once through the whole loop; the per-user data folder is `data`.
void runTheSampleUpdate(const std::string& name, const fs::path& data, const RunOptions& environment,
                        const std::vector<std::string>& vmOptions = {})
{
    AppLayout app(name);
    const fs::path site = test_paths::freshDirectory(name + "_site");
    writeTextFile(site / "version.txt", "1.1\n");

    AppConfig config;
    config.invokeUpdater = true;
    config.classPath = {"./lib/sample.jar", "./lib/tarnwick-tools.jar", "./lib"};
    config.vmOption = {"-Dsample.updates=" + site.string()};
    config.vmOption.insert(config.vmOption.end(), vmOptions.begin(), vmOptions.end());
    app.writeConfig(config);
    app.makeLib();
    fs::copy_file(test_paths::sampleApplication() / "sample.jar", app.root() / "lib" / "sample.jar");
    fs::copy_file(test_paths::toolsJar(), app.root() / "lib" / "tarnwick-tools.jar");
    writeTextFile(app.root() / "lib" / "version.txt", "1.0\n");
    app.linkRealJava();
    placeUpdater(app, test_paths::sampleApplication() / "sample-updater.jar");

    RunOptions options = environment;
    options.timeoutMs = 90000;
    // The pipes stay open until the relaunched launcher has ended too.
    RunResult result = runProgram(app.launcher().string(), {"--lconsole", "--lverbose", "hello"}, options);
    ASSERT_FALSE(result.timedOut) << describe(result);
    EXPECT_EQ(result.exitCode, 0) << describe(result);

    const std::string& out = result.out;
    const std::string location = "Current launcher location: " + app.launcher().string() + "\n";
    EXPECT_EQ(count(out, location), 2u) << "two launcher runs\n" << describe(result);
    const size_t firstApp = out.find("[sample] version 1.0\n");
    const size_t asks = out.find("Application exited with code: 100\n");
    const size_t found = out.find("Update file found at: " + data.string() + "/sampleapp/snapshot.json\n");
    const size_t applied = out.find("[updater] applied version.txt");
    const size_t relaunch = out.find("Execute caller application: \"" + app.launcher().string() + "\"\n");
    const size_t secondApp = out.find("[sample] version 1.1\n");
    const size_t done = out.find("[sample] no update waiting; done\n", secondApp);
    for (size_t at : {firstApp, asks, found, applied, relaunch, secondApp, done})
        ASSERT_NE(at, std::string::npos) << describe(result);
    EXPECT_LT(firstApp, asks);
    EXPECT_LT(asks, found);
    EXPECT_LT(found, applied);
    EXPECT_LT(applied, relaunch);
    EXPECT_LT(relaunch, secondApp);
    // The updater was asked for its console and verbose output, and passed
    // them on to the second launcher, whose verbose lines follow.
    EXPECT_NE(out.find("Run jvm with arguments: --updateDir=" + data.string() + "/sampleapp --appDir=" +
                       app.root().string() + " --keepUpdate=false --webInstall=false --app=sampleapp\n"),
              std::string::npos)
        << describe(result);
    EXPECT_NE(out.find("Application exited with code: 0\n", relaunch), std::string::npos) << describe(result);
    // The user's argument went to the first run only.
    EXPECT_NE(out.find("[sample] received 1 argument(s)\n"), std::string::npos) << describe(result);
    EXPECT_NE(out.find("[sample] received 0 argument(s)\n", secondApp), std::string::npos) << describe(result);

    EXPECT_EQ(readTextFile(app.root() / "lib" / "version.txt"), "1.1\n");
    EXPECT_FALSE(fs::exists(data / "sampleapp" / "snapshot.json"));
}

TEST(UpdateLoop, OnLinuxWithTheRealJvmAndTheSampleApplication)
{
    const fs::path data = test_paths::freshDirectory("update_loop_data");
    RunOptions options;
    options.environment.push_back({"XDG_DATA_HOME", data.string()});
    runTheSampleUpdate("update_loop", data, options);
}

// Without XDG_DATA_HOME the launcher takes the environment's HOME, and the
// sample must stage its update there too, even where Java's user.home (from
// the password database) names another folder.
TEST(UpdateLoop, TheSampleStagesBelowTheHomeTheLauncherUses)
{
    const fs::path home = test_paths::freshDirectory("update_loop_home");
    const fs::path javaHome = test_paths::freshDirectory("update_loop_user_home");
    RunOptions options;
    options.environment.push_back({"HOME", home.string()});
    options.environment.push_back({"XDG_DATA_HOME", "not-absolute"});
    runTheSampleUpdate("update_loop_home_app", home / ".local" / "share", options,
                       {"-Duser.home=" + javaHome.string()});
    EXPECT_FALSE(fs::exists(javaHome / ".local")) << "staged below Java's user.home";
}
#endif

} // namespace
