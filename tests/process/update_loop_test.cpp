// The whole update loop: the application asks for an update, the launcher
// hands over to the real updater, the updater's Java class applies the
// snapshot, the updater starts the launcher again, and the second run ends
// normally. Proven from the second run's own output. (On Linux the sample
// application runs this loop with the update library and a real feed:
// tests/update/process/update_sample_test.cpp.)
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

#ifdef _WIN32
using Lines = std::vector<std::string>;

// The application folder with the real updater in updater/.
void placeUpdater(const AppLayout& app, const fs::path& runnerJar)
{
    fs::create_directories(app.root() / "updater" / "lib");
    fs::copy_file(test_paths::updaterProgram(), app.root() / "updater" / kUpdaterProgramName);
    fs::copy_file(runnerJar, app.root() / "updater" / "lib" / runnerJar.filename());
}

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
#endif

} // namespace
