#include "shell_start.h"

#include "test_paths.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include <cstdio>

namespace {

TEST(CommandLineText, OrdinaryValuesAreSimplyQuoted)
{
    EXPECT_EQ(commandLineText({{"--uapp", false}, {"Foo", true}, {"--ucaller", false},
                               {"C:\\Apps\\X\\launcher.exe", true}, {"--uwebInstall", false}}),
              "--uapp \"Foo\" --ucaller \"C:\\Apps\\X\\launcher.exe\" --uwebInstall");
    EXPECT_EQ(commandLineText({{"", true}}), "\"\"");
    EXPECT_EQ(commandLineText({}), "");
}

TEST(CommandLineText, TrailingBackslashesAndQuotesAreEscaped)
{
    EXPECT_EQ(commandLineText({{"D:\\", true}}), "\"D:\\\\\"");
    EXPECT_EQ(commandLineText({{"a\"b", true}}), "\"a\\\"b\"");
    EXPECT_EQ(commandLineText({{"a\\\"b", true}}), "\"a\\\\\\\"b\"");
    EXPECT_EQ(commandLineText({{"a\\\\b", true}}), "\"a\\\\b\"");
}

#ifdef _WIN32
// The receiving side splits with CommandLineToArgvW: it must get back exactly
// what was sent.
TEST(CommandLineText, RoundTripsThroughCommandLineToArgvW)
{
    const std::vector<std::string> values = {"D:\\",     "a\"b",         "a\\\"b",    "C:\\Program Files\\X\\",
                                             "plain",    "",             "\\\\server\\share\\", "x\\\\",
                                             "\"quoted\"", "tab\there"};
    std::vector<CommandLineToken> tokens;
    for (const std::string& value : values)
        tokens.push_back({value, true});
    std::string text = "prog.exe " + commandLineText(tokens);
    std::wstring wide(text.begin(), text.end());
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(wide.c_str(), &count);
    ASSERT_NE(argv, nullptr);
    ASSERT_EQ(count, static_cast<int>(values.size()) + 1);
    for (size_t i = 0; i < values.size(); ++i) {
        std::wstring got(argv[i + 1]);
        EXPECT_EQ(std::string(got.begin(), got.end()), values[i]) << i;
    }
    LocalFree(argv);
}
#endif

// A started program gets its arguments and standard streams, nothing else of
// its starter: not the Java runtime's open archives, nor any other file or
// pipe (the updater may run with more rights than the launcher).
TEST(ShellStart, PassesOnNoOtherDescriptorOrHandle)
{
    const boost::filesystem::path folder = test_paths::freshDirectory("shell_start_inherit");
    ShellCommand command;
    command.program = (folder / ("recorder" + test_paths::helperProgram("record_args").extension().string())).string();
    boost::filesystem::copy_file(test_paths::helperProgram("record_args"), command.program);
    command.arguments = {{"x", true}};
#ifdef _WIN32
    // The handle value may name something else in the started program; it
    // must not name this file.
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE held = CreateFileW((folder / "held.txt").wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    char value[32];
    std::snprintf(value, sizeof value, "%llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(held)));
    SetEnvironmentVariableA("RECORD_ARGS_HANDLE", value);
    const bool started = shellStart(command);
    SetEnvironmentVariableA("RECORD_ARGS_HANDLE", nullptr);
#else
    // As the Java runtime opens its archives: without close-on-exec.
    const int open = ::open((folder / "held.txt").c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(open, 3);
    const bool started = shellStart(command);
    const std::string expected = "descriptors: 0 1 2";
#endif
    ASSERT_TRUE(started);
    const boost::filesystem::path received = folder / "received.txt";
    ASSERT_TRUE(waitForLastLine(received, "end", 20000));
    const std::vector<std::string> lines = readLines(received);
#ifdef _WIN32
    CloseHandle(held);
    ASSERT_GE(lines.size(), 2u) << readTextFile(received);
    EXPECT_EQ(lines[1].rfind("handle: ", 0), 0u) << readTextFile(received);
    EXPECT_EQ(lines[1].find("held.txt"), std::string::npos) << readTextFile(received);
#else
    EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end()) << readTextFile(received);
    close(open);
#endif
}

} // namespace
