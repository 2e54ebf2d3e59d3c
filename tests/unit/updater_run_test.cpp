// The pieces of the update run that need no Java: where the update data and
// the Java runtime are, the class path, and the runner's argument list.
#include "caller_start.h"
#include "jvm_host.h"
#include "path_conventions.h"
#include "runner_arguments.h"
#include "update_paths.h"
#include "updater_class_path.h"

#include "test_paths.h"

#include "test_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace fs = boost::filesystem;

namespace {

using Tokens = std::vector<std::string>;

UpdaterOptions parse(Tokens tokens)
{
    tokens.insert(tokens.begin(), "updater");
    return parseUpdaterOptions(tokens);
}

const std::string kHome = "C:\\App\\updater";
const std::optional<std::string> kDataFolder = std::string("C:\\Users\\u\\AppData\\Roaming");

TEST(UpdateLocation, WithoutOptionsTheDataFolderBesideTheProgram)
{
    UpdateLocation location = updateLocationFor(parse({}), kHome, kDataFolder);
    EXPECT_EQ(location.directory, "C:\\App\\updater/data/");
    EXPECT_EQ(location.snapshot, "C:\\App\\updater/data//snapshot.json");
    // Not needed, so not missed.
    EXPECT_EQ(updateLocationFor(parse({}), kHome, std::nullopt).snapshot, location.snapshot);
}

TEST(UpdateLocation, TheApplicationNameSelectsItsFolderInTheUsersData)
{
    UpdateLocation location = updateLocationFor(parse({"--uapp", "MyApp"}), kHome, kDataFolder);
    EXPECT_EQ(location.directory, "C:\\Users\\u\\AppData\\Roaming/MyApp");
    EXPECT_EQ(location.snapshot, "C:\\Users\\u\\AppData\\Roaming/MyApp/snapshot.json");
}

TEST(UpdateLocation, AnUnknownDataFolderIsAnErrorNotAnEmptyPath)
{
    try {
        updateLocationFor(parse({"--uapp", "MyApp"}), kHome, std::nullopt);
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Cannot determine the application data folder");
    }
}

TEST(UpdateLocation, TheUpdateDirectoryOptionWinsOverTheApplicationName)
{
    UpdateLocation location = updateLocationFor(parse({"--udir", "D:\\upd", "--uapp", "A"}), kHome, std::nullopt);
    EXPECT_EQ(location.directory, "D:\\upd");
    EXPECT_EQ(location.snapshot, "D:\\upd/snapshot.json");
}

TEST(UpdateLocation, TheSnapshotOptionNamesTheFileAndLeavesNoDirectory)
{
    UpdateLocation location =
        updateLocationFor(parse({"--usnapshot", "S.json", "--udir", "D", "--uapp", "A"}), kHome, std::nullopt);
    EXPECT_EQ(location.directory, "");
    EXPECT_EQ(location.snapshot, "S.json");
}

std::string native(fs::path path)
{
    return path.make_preferred().string();
}

TEST(JavaRuntimeDirectory, TheOptionIsTakenAsWrittenAndUntested)
{
    EXPECT_EQ(javaRuntimeDirectoryFor(parse({"--ujrepath", "D:/no/such/jre/"}), "nowhere"), "D:/no/such/jre/");
}

TEST(JavaRuntimeDirectory, TheProgramsOwnRuntimeComesFirstThenTheApplications)
{
    const fs::path root = fs::canonical(test_paths::freshDirectory("updater_jre_choice"));
    const fs::path home = root / "updater";
    fs::create_directories(home);
    fs::create_directories(root / "jre");
    EXPECT_EQ(javaRuntimeDirectoryFor(parse({}), home.string()), native(root / "jre"));

    fs::create_directories(home / "jre");
    EXPECT_EQ(javaRuntimeDirectoryFor(parse({}), home.string()), native(home / "jre"));
}

TEST(JavaRuntimeDirectory, NeitherRuntimeIsAFileSystemError)
{
    const fs::path home = test_paths::freshDirectory("updater_jre_none") / "updater";
    fs::create_directories(home);
    try {
        javaRuntimeDirectoryFor(parse({}), home.string());
        FAIL() << "no error";
    } catch (const fs::filesystem_error& e) {
        EXPECT_NE(std::string(e.what()).find("boost::filesystem::canonical"), std::string::npos) << e.what();
        EXPECT_EQ(e.code(), boost::system::errc::no_such_file_or_directory) << e.what();
    }
}

TEST(JavaRuntimeDirectory, IsMadeAbsoluteAgainstTheCurrentDirectory)
{
    const fs::path root = fs::canonical(test_paths::freshDirectory("updater_jre_relative"));
    fs::create_directories(root / "updater");
    fs::create_directories(root / "jre");
    const fs::path before = fs::current_path();
    fs::current_path(root);
    const std::string chosen = javaRuntimeDirectoryFor(parse({}), "updater");
    fs::current_path(before);
    EXPECT_EQ(chosen, native(root / "jre"));
}

#ifndef _WIN32
TEST(JavaRuntimeDirectory, LinksAreResolved)
{
    const fs::path root = fs::canonical(test_paths::freshDirectory("updater_jre_link"));
    fs::create_directories(root / "updater");
    fs::create_directories(root / "runtimes" / "17");
    fs::create_directory_symlink(root / "runtimes" / "17", root / "updater" / "jre");
    EXPECT_EQ(javaRuntimeDirectoryFor(parse({}), (root / "updater").string()), (root / "runtimes" / "17").string());
}
#endif

// The entries of a class path text, in order.
Tokens entriesOf(const std::string& classPath)
{
    Tokens entries;
    if (classPath.empty())
        return entries;
    size_t start = 0;
    for (;;) {
        size_t end = classPath.find(kClassPathSeparator, start);
        entries.push_back(classPath.substr(start, end - start));
        if (end == std::string::npos)
            return entries;
        start = end + 1;
    }
}

TEST(UpdaterClassPath, TakesJarsAtEveryDepthCaseSensitively)
{
    const fs::path home = test_paths::freshDirectory("updater_class_path");
    const std::string libraries = home.string() + "/lib";
    for (const char* file : {"a.jar", "b.JAR", "notes.txt", "a.jar.bak", "notajar", "sub/c.jar", "sub/deeper/d.jar"})
        writeTextFile(fs::path(libraries) / file, "");

    const Tokens entries = entriesOf(buildUpdaterClassPath(libraries));
    // Each entry is the libraries folder joined by the path library with the
    // entry's relative path.
    Tokens expected = {(fs::path(libraries) / "a.jar").string(), (fs::path(libraries) / "sub" / "c.jar").string(),
                       (fs::path(libraries) / "sub" / "deeper" / "d.jar").string()};
    Tokens sorted = entries;
    std::sort(sorted.begin(), sorted.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(sorted, expected);
    // The folder's text stays as given; the library adds its own separator.
#ifdef _WIN32
    const std::string joined = libraries + "\\a.jar";
#else
    const std::string joined = libraries + "/a.jar";
#endif
    EXPECT_NE(std::find(entries.begin(), entries.end(), joined), entries.end()) << joined;
}

TEST(UpdaterClassPath, FollowsTheListingOrderAndTakesDirectoriesNamedLikeJars)
{
    const fs::path libraries = test_paths::freshDirectory("updater_class_path_order") / "lib";
    for (const char* file : {"one.jar", "two.jar", "three.jar", "classes.jar/inner.jar", "classes.jar/Main.class"})
        writeTextFile(libraries / file, "");
    fs::create_directories(libraries / "empty.jar");

    Tokens listed;
    for (fs::recursive_directory_iterator it(libraries), end; it != end; ++it)
        if (it->path().extension() == ".jar")
            listed.push_back(it->path().string());
    const Tokens entries = entriesOf(buildUpdaterClassPath(libraries.string()));
    EXPECT_EQ(entries, listed);
    EXPECT_EQ(entries.size(), 6u);

    // A folder's own entry comes before what it holds.
    auto position = [&](const fs::path& p) {
        return std::find(entries.begin(), entries.end(), p.string()) - entries.begin();
    };
    EXPECT_LT(position(libraries / "classes.jar"), position(libraries / "classes.jar" / "inner.jar"));
}

TEST(UpdaterClassPath, NoArchiveGivesAnEmptyClassPath)
{
    const fs::path libraries = test_paths::freshDirectory("updater_class_path_empty") / "lib";
    writeTextFile(libraries / "readme.txt", "");
    EXPECT_EQ(buildUpdaterClassPath(libraries.string()), "");
}

TEST(UpdaterClassPath, AMissingFolderIsAFileSystemError)
{
    const fs::path home = test_paths::freshDirectory("updater_class_path_missing");
    EXPECT_THROW(buildUpdaterClassPath(home.string() + "/lib"), fs::filesystem_error);
}

TEST(RunnerArguments, FixedEntriesFollowTheForwardedTokens)
{
    RunnerSettings settings;
    settings.forwarded = {"--foo=1", "bar"};
    settings.updateDirectory = "D";
    settings.applicationDirectory = "C:\\App";
    EXPECT_EQ(runnerArgumentsFor(settings), (Tokens{"--foo=1", "bar", "--updateDir=D", "--appDir=C:\\App",
                                                    "--keepUpdate=false", "--webInstall=false"}));
}

TEST(RunnerArguments, FlagsAndTheApplicationNameComeLast)
{
    RunnerSettings settings;
    settings.keepUpdate = true;
    settings.webInstall = true;
    settings.application = "A";
    EXPECT_EQ(runnerArgumentsFor(settings), (Tokens{"--updateDir=", "--appDir=", "--keepUpdate=true",
                                                    "--webInstall=true", "--app=A"}));
    settings.application = "";
    EXPECT_EQ(runnerArgumentsFor(settings).back(), "--app=");
}

// --- starting the caller again ------------------------------------------------
// The choice between the desktop's shell and a start of the updater's own.
// Under Wine every updater is elevated and a desktop shell always answers
// once it runs, so the other answers are given here.

ShellStart noShell(const ShellCommand&) { return ShellStart::NoShell; }
ShellStart shellFails(const ShellCommand&) { return ShellStart::Failed; }
int shellAsked = 0;
ShellStart countAsked(const ShellCommand&)
{
    ++shellAsked;
    return ShellStart::Started;
}

class CallerStart : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = test_paths::freshDirectory(std::string("caller_start_") +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        const fs::path caller = folder / test_paths::helperProgram("record_args").filename();
        fs::copy_file(test_paths::helperProgram("record_args"), caller);
        command.program = caller.string();
        command.quoteProgram = true;
        verboseMode = true;
        saved = std::cout.rdbuf(out.rdbuf());
    }
    void TearDown() override
    {
        std::cout.rdbuf(saved);
        verboseMode = false;
    }
    fs::path received() const { return folder / "received.txt"; }

    fs::path folder;
    ShellCommand command;
    std::ostringstream out;
    std::streambuf* saved = nullptr;
};

TEST_F(CallerStart, WithoutADesktopShellAnElevatedUpdaterStartsTheCallerItselfAndSaysSo)
{
    EXPECT_TRUE(startCallerAs(command, true, noShell));
    EXPECT_EQ(out.str(), "No desktop shell to start the caller as the signed-in user, so it runs elevated\n");
    EXPECT_TRUE(waitForLastLine(received(), "end", 20000)) << "the caller did not run";
}

TEST_F(CallerStart, AShellThatCannotStartTheCallerIsAFailureAndNoElevatedStart)
{
    EXPECT_FALSE(startCallerAs(command, true, shellFails));
    EXPECT_EQ(out.str(), "");
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_FALSE(fs::exists(received()));
}

TEST_F(CallerStart, AnUpdaterThatIsNotElevatedNeverAsksTheShell)
{
    shellAsked = 0;
    EXPECT_TRUE(startCallerAs(command, false, countAsked));
    EXPECT_EQ(shellAsked, 0);
    EXPECT_EQ(out.str(), "");
    EXPECT_TRUE(waitForLastLine(received(), "end", 20000)) << "the caller did not run";
}

} // namespace
