// The sample application through one whole update, as scripts/demo runs it:
// 1.0 and 1.1 published to a feed that nginx serves, 1.0 installed; the
// sample finds 1.1, stages it and asks for the updater, the ready runner
// applies it, and the launcher started again runs 1.1.
#include "app_layout.h"
#include "program_names.h"
#include "test_paths.h"
#include "test_text.h"
#include "update_fixture.h"

#include <gtest/gtest.h>

namespace fs = boost::filesystem;
using namespace update_test;

namespace {

size_t count(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// The sample's folder of one version, as `cmake --install` and the shipper lay it out.
fs::path sampleRelease(const fs::path& work, const std::string& version, const std::string& updateJson,
                       const std::vector<std::string>& vmOptions)
{
    const fs::path dir = work / ("release-" + version);
    const std::string launcher = test_paths::launcherProgram().filename().string();
    fs::create_directories(dir / "lib");
    fs::create_directories(dir / "updater" / "lib");
    fs::copy_file(test_paths::launcherProgram(), dir / launcher);
    fs::copy_file(test_paths::updaterProgram(), dir / "updater" / kUpdaterProgramName);
    fs::copy_file(TEST_UPDATE_JAR, dir / "updater" / "lib" / "tarnwick-update.jar");
    fs::copy_file(TEST_UPDATE_JAR, dir / "lib" / "tarnwick-update.jar");
    fs::copy_file(test_paths::toolsJar(), dir / "lib" / "tarnwick-tools.jar");
    fs::copy_file(test_paths::sampleApplication() / "sample.jar", dir / "lib" / "sample.jar");
    writeTextFile(dir / "lib" / "version.txt", version + "\n");
    AppConfig config;
    config.invokeUpdater = true;
    config.classPath = {"./lib/sample.jar", "./lib/tarnwick-tools.jar", "./lib/tarnwick-update.jar", "./lib"};
    config.vmOption = vmOptions;
    writeTextFile(dir / "cfg" / (test_paths::launcherProgram().stem().string() + ".json"), config.json());
    writeTextFile(dir / "cfg" / "update.json", updateJson);
    return dir;
}

// The per-user data folder is `data`.
void runTheSampleUpdate(const std::string& name, const fs::path& data, RunOptions options,
                        const std::vector<std::string>& vmOptions = {})
{
    const fs::path work = test_paths::freshDirectory(name);
    const KeyPair keys = makeKeyPair(work / "keys");
    const fs::path feed = work / "feed";
    fs::create_directories(feed);
    NginxServer server(work / "nginx", feed);
    const std::string updateJson = "{\"feed\": " + quotedLiteral(server.url()) + ", \"publicKeys\": [" +
                                   quotedLiteral(keys.publicLine) + "], \"packageName\": \"sampleapp\"}\n";
    fs::path app;
    for (const std::string version : {"1.0", "1.1"}) {
        const fs::path release = sampleRelease(work, version, updateJson, vmOptions);
        RunResult published = updateTool({"publish", "--key", keys.privateKey.string(), "--app", release.string(),
                                          "--version", version, "--out", feed.string()});
        ASSERT_EQ(published.exitCode, 0) << describe(published);
        if (version == "1.0") {
            app = work / "app";
            copyFolder(release, app);
            fs::create_directory_symlink(test_paths::javaHome(), app / "jre");
        }
    }

    options.timeoutMs = 120000;
    // The pipes stay open until the relaunched launcher has ended too.
    const fs::path launcher = app / test_paths::launcherProgram().filename();
    RunResult result = runProgram(launcher.string(), {"--lconsole", "--lverbose", "hello"}, options);
    ASSERT_FALSE(result.timedOut) << describe(result);
    EXPECT_EQ(result.exitCode, 0) << describe(result);

    const std::string& out = result.out;
    EXPECT_EQ(count(out, "Current launcher location: " + launcher.string() + "\n"), 2u) << describe(result);
    const size_t firstApp = out.find("[sample] version 1.0\n");
    const size_t staged = out.find("[sample] staged 1.1 (");
    const size_t asks = out.find("Application exited with code: 100\n");
    const size_t found = out.find("Update file found at: " + data.string() + "/sampleapp/snapshot.json\n");
    const size_t relaunch = out.find("Execute caller application: \"" + launcher.string() + "\"\n");
    const size_t secondApp = out.find("[sample] version 1.1\n");
    const size_t done = out.find("[sample] no update waiting; done\n", secondApp);
    for (size_t at : {firstApp, staged, asks, found, relaunch, secondApp, done})
        ASSERT_NE(at, std::string::npos) << describe(result);
    EXPECT_LT(firstApp, staged);
    EXPECT_LT(staged, asks);
    EXPECT_LT(asks, found);
    EXPECT_LT(found, relaunch);
    EXPECT_LT(relaunch, secondApp);
    EXPECT_NE(out.find("Run jvm with arguments: --updateDir=" + data.string() + "/sampleapp --appDir=" +
                       app.string() + " --keepUpdate=false --webInstall=false --app=sampleapp\n"),
              std::string::npos)
        << describe(result);
    // The user's argument went to the first run only.
    EXPECT_NE(out.find("[sample] received 1 argument(s)\n"), std::string::npos) << describe(result);
    EXPECT_NE(out.find("[sample] received 0 argument(s)\n", secondApp), std::string::npos) << describe(result);

    EXPECT_EQ(differencesFrom(app, readManifest(feed / "releases" / "1.1.json")), "");
    EXPECT_FALSE(fs::exists(data / "sampleapp" / "snapshot.json"));
}

TEST(SampleUpdate, FromAPublishedFeed)
{
    const fs::path data = test_paths::freshDirectory("update_sample_data");
    RunOptions options;
    options.environment.push_back({"XDG_DATA_HOME", data.string()});
    runTheSampleUpdate("update_sample", data, options);
}

// Without XDG_DATA_HOME the launcher takes the environment's HOME, and the
// library must stage there too, even where Java's user.home (from the
// password database) names another folder.
TEST(SampleUpdate, StagesBelowTheHomeTheLauncherUses)
{
    const fs::path home = test_paths::freshDirectory("update_sample_home");
    const fs::path javaHome = test_paths::freshDirectory("update_sample_user_home");
    RunOptions options;
    options.environment.push_back({"HOME", home.string()});
    options.environment.push_back({"XDG_DATA_HOME", "not-absolute"});
    runTheSampleUpdate("update_sample_home_app", home / ".local" / "share", options,
                       {"-Duser.home=" + javaHome.string()});
    EXPECT_FALSE(fs::exists(javaHome / ".local")) << "staged below Java's user.home";
}

} // namespace
