// Updates from a published feed through the real launcher, updater and JVM,
// nginx serving the feed: the application checks, stages and asks for the
// updater; the ready runner applies; the launcher starts the new version.
// The folder is held against the release's manifest after each step.
#include "test_paths.h"
#include "test_text.h"
#include "update_fixture.h"

#include <gtest/gtest.h>

#include <thread>

namespace fs = boost::filesystem;
using namespace update_test;

namespace {

void expectRelease(const Product& product, const fs::path& appDir, const std::string& version)
{
    EXPECT_EQ(differencesFrom(appDir, product.manifest(version)), "");
    EXPECT_EQ(readManifest(appDir / ".tarnwick" / "installed.json").version, version);
    EXPECT_FALSE(fs::exists(product.staging() / "snapshot.json"));
    EXPECT_FALSE(fs::exists(appDir / "install.me"));
}

TEST(UpdateFeed, ThreeReleasesInTurnOverHttps)
{
    Product product("update_feed_loop", Product::Transport::https);
    const fs::path v1 = product.releaseFolder("1.0.0", {{"lib/a.txt", "a1\n"}, {"lib/b.txt", "b1\n"}});
    product.publish(v1, "1.0.0");
    const fs::path app = product.install(v1, "app");

    // 2.0.0 changes a, drops b, brings a nested file; 3.0.0 changes a again.
    const std::vector<std::pair<std::string, Payload>> releases{
        {"2.0.0", {{"lib/a.txt", "a2\n"}, {"lib/more/c.txt", "c2\n"}}},
        {"3.0.0", {{"lib/a.txt", "a3\n"}, {"lib/more/c.txt", "c2\n"}}},
    };
    std::string previous = "1.0.0";
    for (const auto& [version, payload] : releases) {
        product.publish(product.releaseFolder(version, payload), version);
        RunResult run = product.startLauncher(app);
        ASSERT_FALSE(run.timedOut) << describe(run);
        EXPECT_EQ(run.exitCode, 0) << describe(run);
        const size_t before = run.out.find("[probe] version " + previous + "\n");
        const size_t staged = run.out.find("[probe] staged " + version + "\n");
        const size_t after = run.out.find("[probe] version " + version + "\n");
        ASSERT_NE(before, std::string::npos) << describe(run);
        ASSERT_NE(staged, std::string::npos) << describe(run);
        ASSERT_NE(after, std::string::npos) << describe(run);
        EXPECT_LT(before, staged);
        EXPECT_LT(staged, after);
        // The new version finds nothing newer and ends.
        EXPECT_NE(run.out.find("[probe] up to date\n", after), std::string::npos) << describe(run);
        expectRelease(product, app, version);
        previous = version;
    }
}

TEST(UpdateFeed, WebInstallIntoAFolderOfProgramsAndSettings)
{
    Product product("update_feed_web_install");
    const fs::path v1 = product.releaseFolder("1.0.0", {{"lib/a.txt", "a1\n"}, {"lib/more/b.txt", "b1\n"}});
    product.publish(v1, "1.0.0");

    // What a shipper ships for a web install: the launcher, the updater, the
    // runtime, cfg/ and install.me.
    const fs::path app = product.folder() / "app";
    const std::string launcherName = test_paths::launcherProgram().filename().string();
    fs::create_directories(app);
    copyFolder(v1 / launcherName, app / launcherName);
    copyFolder(v1 / "updater", app / "updater");
    copyFolder(v1 / "cfg", app / "cfg");
    fs::create_directory_symlink(test_paths::javaHome(), app / "jre");
    writeTextFile(app / "install.me", "");

    RunResult run = product.startLauncher(app);
    ASSERT_FALSE(run.timedOut) << describe(run);
    EXPECT_EQ(run.exitCode, 0) << describe(run);
    EXPECT_EQ(versionRun(run), "1.0.0") << describe(run);
    EXPECT_NE(run.out.find("[probe] up to date\n"), std::string::npos) << describe(run);
    expectRelease(product, app, "1.0.0");
}

// Two launchers started at once while a release is staged: one applies, the
// other finds it applied; both end on the new version and nothing is lost.
TEST(TwoLaunchers, OneApplyBothEndOnTheNewVersion)
{
    Product product("update_two_launchers");
    const fs::path v1 = product.releaseFolder("1.0.0", {{"lib/a.txt", "a1\n"}});
    product.publish(v1, "1.0.0");
    const fs::path app = product.install(v1, "app");
    product.publish(product.releaseFolder("2.0.0", {{"lib/a.txt", "a2\n"}, {"lib/b.txt", "b2\n"}}), "2.0.0");
    RunResult staging = product.startLauncher(app, {"PROBE_STAGE_ONLY=1"});
    ASSERT_NE(staging.out.find("[probe] staged 2.0.0\n"), std::string::npos) << describe(staging);
    ASSERT_TRUE(fs::exists(product.staging() / "snapshot.json"));

    const fs::path steps = product.folder() / "steps.log";
    const std::vector<std::string> jvm{"-Dio.tarnwick.update.test.stepLog=" + steps.string()};
    RunResult first, second;
    std::thread other([&] { second = product.startLauncher(app, {"PROBE_NO_CHECK=1"}, jvm); });
    first = product.startLauncher(app, {"PROBE_NO_CHECK=1"}, jvm);
    other.join();
    for (const RunResult* run : {&first, &second}) {
        ASSERT_FALSE(run->timedOut) << describe(*run);
        EXPECT_EQ(run->exitCode, 0) << describe(*run);
        EXPECT_EQ(versionRun(*run), "2.0.0") << describe(*run);
    }
    // Each apply begins by creating the folder of the new files; both
    // updaters may create the lock file, which only the first to find it
    // missing does, and both may do so at once.
    const std::string beginsApply = " create folder " + (app / ".tarnwick" / "new").string();
    size_t applies = 0;
    for (const std::string& line : readLines(steps)) {
        const size_t at = line.find(' ');
        applies += at != std::string::npos && line.compare(at, std::string::npos, beginsApply) == 0 ? 1 : 0;
    }
    EXPECT_EQ(applies, 1u) << readTextFile(steps);
    expectRelease(product, app, "2.0.0");
}

} // namespace
