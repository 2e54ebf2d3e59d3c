// The Linux launcher runs Java fixture classes in the machine's real JVM.
#include "app_layout.h"
#include "process_runner.h"
#include "test_paths.h"

#include <gtest/gtest.h>

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

} // namespace
