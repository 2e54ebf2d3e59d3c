#include "process.h"

#include "process_internal.h"
#include "process_runner.h"
#include "test_paths.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>

#include <io.h>
#endif

#include <cstdio>
#include <iostream>

namespace fs = boost::filesystem;

namespace {

// argv_probe prints "length:hexbytes" for each of its arguments.
std::vector<std::string> probe(const std::vector<std::string>& arguments)
{
    RunResult result = runProgram(test_paths::helperProgram("argv_probe").string(), arguments);
    EXPECT_EQ(result.exitCode, static_cast<int>(arguments.size()) + 1) << describe(result);
    std::vector<std::string> lines;
    std::string line;
    for (char c : result.out) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    return lines;
}

TEST(NarrowCommandLine, KeepsEveryArgumentAsOneString)
{
    EXPECT_EQ(probe({"a", "two words", "", "--x=\"q\""}),
              (std::vector<std::string>{"1:61", "9:74776f20776f726473", "0:", "7:2d2d783d227122"}));
}

TEST(NarrowCommandLine, CharactersOutsideAsciiSurviveOrAreReplaced)
{
#ifdef _WIN32
    // The Western code page holds "é" as one byte; a CJK character has no
    // place in it and becomes '?', and the string stays terminated. So do
    // look-alikes that a best-fit mapping would turn into other characters:
    // U+FF0D would be '-' and "ł" would be 'l'.
    EXPECT_EQ(probe({"\xc3\xa9", "\xe4\xb8\xad", "x\xe4\xb8\xadz", "\xef\xbc\x8d\xef\xbc\x8dlhelp", "\xc5\x82"}),
              (std::vector<std::string>{"1:e9", "1:3f", "3:783f7a", "7:3f3f6c68656c70", "1:3f"}));
#else
    // Linux hands over the bytes as given, UTF-8 in a UTF-8 locale.
    EXPECT_EQ(probe({"\xc3\xa9", "\xe4\xb8\xad"}), (std::vector<std::string>{"2:c3a9", "3:e4b8ad"}));
#endif
}

TEST(LastErrorText, GivesTheSystemTextOrNothing)
{
#ifdef _WIN32
    SetLastError(0);
    EXPECT_EQ(lastErrorText(), "");
    SetLastError(ERROR_FILE_NOT_FOUND);
    std::string text = lastErrorText();
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    SetLastError(0x2FFFFFFF); // no system text
    EXPECT_EQ(lastErrorText(), "");
#else
    errno = 0;
    EXPECT_EQ(lastErrorText(), "");
    errno = ENOENT;
    EXPECT_EQ(lastErrorText(), "No such file or directory");
#endif
}

TEST(ModuleLocation, IsTheRunningProgram)
{
    std::string location = moduleLocation(nullptr);
    EXPECT_TRUE(fs::exists(location)) << location;
    EXPECT_EQ(fs::path(location).stem().string(), "process_test");
    EXPECT_TRUE(fs::path(location).is_absolute());
}

TEST(ModuleLocation, FallbackIsTheCanonicalNameOrNothing)
{
    EXPECT_EQ(canonicalFallbackLocation(nullptr), "");
    EXPECT_EQ(canonicalFallbackLocation(""), "");
    fs::path dir = test_paths::freshDirectory("module_location");
    writeTextFile(dir / "prog", "x");
    fs::create_directories(dir / "sub");
    fs::path before = fs::current_path();
    fs::current_path(dir);
    std::string resolved = canonicalFallbackLocation("./sub/../prog");
    std::string missing = canonicalFallbackLocation("./absent");
    // A bare name came through the search path: a namesake here is not it.
    std::string bare = canonicalFallbackLocation("prog");
    fs::current_path(before);
    EXPECT_EQ(resolved, fs::canonical(dir / "prog").make_preferred().string());
    EXPECT_EQ(missing, "");
    EXPECT_EQ(bare, "");
}

#ifndef _WIN32
// A path that fills the 1024-byte buffer counts as cut off: the program is
// then found through its argv[0].
TEST(ModuleLocation, AFullBufferFallsBackToArgvZero)
{
    fs::path base = test_paths::freshDirectory("long_path");
    fs::path dir = base;
    while (dir.string().size() < 1024 - 60)
        dir /= std::string(50, 'd');
    fs::create_directories(dir);
    const std::string probe = test_paths::helperProgram("argv_probe").string();
    size_t nameLength = 1024 - dir.string().size() - 1;
    fs::path atLimit = dir / std::string(nameLength, 'p');
    fs::path belowLimit = dir / std::string(nameLength - 1, 'p');
    ASSERT_EQ(atLimit.string().size(), 1024u);
    fs::copy_file(test_paths::helperProgram("module_probe"), atLimit);
    fs::copy_file(test_paths::helperProgram("module_probe"), belowLimit);
    fs::permissions(atLimit, fs::perms::owner_all);
    fs::permissions(belowLimit, fs::perms::owner_all);

    RunOptions options;
    options.workingDirectory = dir.string();
    // A relative argv[0] that resolves to the same file, through "..".
    std::string viaParent = "../" + dir.filename().string() + "/" + atLimit.filename().string();
    RunResult full = runProgram(atLimit.string(), {viaParent}, options);
    EXPECT_EQ(full.out, "fallback:" + fs::canonical(atLimit).string() + "\n") << describe(full);

    RunResult shorter = runProgram(belowLimit.string(), {"ignored"}, options);
    EXPECT_EQ(shorter.out, "system:" + belowLimit.string() + "\n") << describe(shorter);
    fs::remove_all(base);
}
#endif

#ifdef _WIN32
// Started from Explorer or a shortcut, a program has no standard handles: its
// first writes fail and the C++ streams keep that failure. The console must
// give both streams back, or every later line is dropped. Only the state is
// checked (Wine does not carry text written to "CON" this way), in a child
// process, whose console and streams are its own.
TEST(OpenConsole, GivesBothStreamsBack)
{
    EXPECT_EXIT(
        {
            std::cout.setstate(std::ios::badbit);
            std::cerr.setstate(std::ios::badbit);
            openConsole();
            std::exit(std::cout.good() && std::cerr.good() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
#endif

TEST(ApplicationDataFolder, IsKnown)
{
    std::optional<std::string> folder = applicationDataFolder();
    ASSERT_TRUE(folder.has_value());
#ifdef _WIN32
    EXPECT_NE(folder->find("AppData\\Roaming"), std::string::npos) << *folder;
#endif
}

#ifndef _WIN32
TEST(ApplicationDataFolder, FollowsTheXdgRules)
{
    std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    const char* xdg = std::getenv("XDG_DATA_HOME");
    std::string savedXdg = xdg ? xdg : "";

    setenv("XDG_DATA_HOME", "/data/home", 1);
    EXPECT_EQ(applicationDataFolder().value_or("-"), "/data/home");
    setenv("XDG_DATA_HOME", "relative/ignored", 1);
    setenv("HOME", "/home/u", 1);
    EXPECT_EQ(applicationDataFolder().value_or("-"), "/home/u/.local/share");
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(applicationDataFolder().value_or("-"), "/home/u/.local/share");
    unsetenv("HOME");
    EXPECT_FALSE(applicationDataFolder().has_value());

    setenv("HOME", home.c_str(), 1);
    if (xdg)
        setenv("XDG_DATA_HOME", savedXdg.c_str(), 1);
}
#endif

} // namespace
