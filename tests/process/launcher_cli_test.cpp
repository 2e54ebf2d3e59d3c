// The launcher's command line as a user meets it: boxes, output, exit codes.
#include "app_layout.h"
#include "process_runner.h"
#include "test_paths.h"
#include "test_text.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace fs = boost::filesystem;

namespace {

class LauncherCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(displayForBoxes());
    }

    AppLayout app{::testing::UnitTest::GetInstance()->current_test_info()->name()};

    RunResult launch(const std::vector<std::string>& arguments)
    {
        RunOptions options;
        options.workingDirectory = app.root().string();
        options.timeoutMs = 30000;
        return runProgram(app.launcher().string(), arguments, options);
    }

    std::string locationLine() const { return "Current launcher location: " + app.launcher().string() + "\n"; }
};

TEST_F(LauncherCli, VersionShowsAnInformationBox)
{
    RunResult result = launch({"--lversion"});
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_TRUE(showedInfoBox(result, "Launcher version: 1.1.0")) << describe(result);
    EXPECT_EQ(result.out.rfind(locationLine(), 0), 0u) << describe(result);
}

TEST_F(LauncherCli, HelpShowsTheOptionTableAndWinsOverVersion)
{
    for (const auto& arguments : {std::vector<std::string>{"--lhelp"}, {"--lhelp", "--lversion"},
                                  {"--lversion", "--lhelp", "--lverbose", "--lconsole"}}) {
        RunResult result = launch(arguments);
        EXPECT_EQ(result.exitCode, 0) << describe(result);
        EXPECT_TRUE(showedInfoBox(result, kLauncherHelp)) << describe(result);
        EXPECT_FALSE(showedInfoBox(result, "Launcher version: 1.1.0")) << describe(result);
#ifdef _WIN32
        EXPECT_EQ(result.boxes.size(), 1u) << describe(result);
#endif
    }
}

TEST_F(LauncherCli, MissingConfigurationFails)
{
    const std::string config = app.root().string() + "/cfg/" + app.launcher().stem().string() + ".json";
    const std::string text = config + ": cannot open file";
    RunResult result = launch({});
    EXPECT_EQ(result.exitCode, kFailureExit) << describe(result);
    EXPECT_TRUE(showedErrorBox(result, "Failed to start application: " + text)) << describe(result);
    EXPECT_NE(result.err.find("Exception: " + text + "\n"), std::string::npos) << describe(result);
    EXPECT_EQ(result.out, locationLine());
}

TEST_F(LauncherCli, OptionErrorsFailWithTheLibraryText)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--lcfgfile"}, "the required argument for option '--lcfgfile' is missing"},
        {{"--lverbose=1"}, "option '--lverbose' does not take any arguments"},
        {{"--levent", "a", "--levent", "b"}, "option '--levent' cannot be specified more than once"},
    };
    for (const auto& [arguments, text] : cases) {
        RunResult result = launch(arguments);
        EXPECT_EQ(result.exitCode, kFailureExit) << describe(result);
        EXPECT_TRUE(showedErrorBox(result, "Failed to start application: " + text)) << describe(result);
        EXPECT_NE(result.err.find("Exception: " + text + "\n"), std::string::npos) << describe(result);
    }
}

TEST_F(LauncherCli, VerboseReportsTheConfigurationItReads)
{
    AppConfig config;
    config.packageName = "Foo";
    config.invokeUpdater = true;
    app.writeConfig(config);
    const fs::path other = app.root() / "other.json";
    writeTextFile(other, "{\"packageName\": 1}");

    RunResult result = launch({"--lverbose", "--levent", "x", "--lcfgfile", "other.json"});
    EXPECT_EQ(result.exitCode, kFailureExit) << describe(result);
    EXPECT_NE(result.out.find("Using config file: other.json\n"), std::string::npos) << describe(result);
    EXPECT_TRUE(showedErrorBox(result, "Failed to start application: No such node (mainClass)")) << describe(result);

    const std::string defaultConfig = app.root().string() + "/cfg/" + app.launcher().stem().string() + ".json";
    RunResult verbose = launch({"--lverbose", "--ljrepath", "nowhere"});
    EXPECT_NE(verbose.out.find(locationLine() + "Using config file: " + defaultConfig +
                               "\nApplication settings [packageName = Foo, mainClass = sample.app.Main, "
                               "mainMethod = run, appNature = desktop, invokeUpdater = 1]\n"),
              std::string::npos)
        << describe(verbose);

    RunResult quiet = launch({"--ljrepath", "nowhere"});
    EXPECT_EQ(quiet.out, locationLine()) << describe(quiet);
}

#ifndef _WIN32
// Without /proc the arguments still come from main's argv, and the location
// from argv[0]; with neither, the launcher says so instead of taking the root
// folder for its own.
TEST_F(LauncherCli, WithoutProcTheCommandLineStillCounts)
{
    RunOptions probe;
    probe.timeoutMs = 10000;
    if (runProgram("/usr/bin/unshare", {"-m", "true"}, probe).exitCode != 0)
        GTEST_SKIP() << "no mount namespace for this user";
    const std::string hideProc = "mount -t tmpfs none /proc && test ! -e /proc/self && exec ";
    auto withoutProc = [&](const std::string& exec, const std::vector<std::string>& arguments) {
        std::vector<std::string> command = {"-m", "--propagation", "private", "/bin/bash", "-c",
                                            hideProc + exec + " \"$@\"", app.launcher().string()};
        command.insert(command.end(), arguments.begin(), arguments.end());
        RunOptions options;
        options.workingDirectory = app.root().string();
        options.timeoutMs = 30000;
        return runProgram("/usr/bin/unshare", command, options);
    };

    const std::string config = app.root().string() + "/cfg/" + app.launcher().stem().string() + ".json";
    RunResult named = withoutProc("\"$0\"", {"--lverbose", "a", "b"});
    EXPECT_EQ(named.exitCode, kFailureExit) << describe(named);
    EXPECT_EQ(named.out, locationLine() + "Using config file: " + config + "\n") << describe(named);

    const std::string text = "Cannot determine where the launcher is: the system does not tell, and its command "
                             "line does not name it";
    RunResult bare = withoutProc("-a launcher \"$0\"", {"--lverbose"});
    EXPECT_EQ(bare.exitCode, kFailureExit) << describe(bare);
    EXPECT_EQ(bare.out, "") << describe(bare);
    EXPECT_TRUE(showedErrorBox(bare, "Failed to start application: " + text)) << describe(bare);
}
#endif

} // namespace
