// The splitter that the fuzz targets read Windows command lines with: the
// documented examples, and on Windows the system's own CommandLineToArgvW.
#include "windows_command_line.h"

#include "shell_start.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

namespace {

using Arguments = std::vector<std::string>;

TEST(WindowsCommandLine, FollowsTheDocumentedExamples)
{
    // Microsoft's table of results for parsing command lines.
    EXPECT_EQ(splitWindowsCommandLine("p \"abc\" d e"), (Arguments{"p", "abc", "d", "e"}));
    EXPECT_EQ(splitWindowsCommandLine("p a\\\\b d\"e f\"g h"), (Arguments{"p", "a\\\\b", "de fg", "h"}));
    EXPECT_EQ(splitWindowsCommandLine("p a\\\\\\\"b c d"), (Arguments{"p", "a\\\"b", "c", "d"}));
    EXPECT_EQ(splitWindowsCommandLine("p a\\\\\\\\\"b c\" d e"), (Arguments{"p", "a\\\\b c", "d", "e"}));
    bool doubled = false;
    EXPECT_EQ(splitWindowsCommandLine("p a\"b\"\" c d", &doubled), (Arguments{"p", "ab\" c d"}));
    EXPECT_TRUE(doubled);
    EXPECT_EQ(splitWindowsCommandLine("p \"\" x\"\" \"\"", &doubled), (Arguments{"p", "", "x", ""}));
    EXPECT_FALSE(doubled) << "empty quoted parts are no doubled quote";
}

TEST(WindowsCommandLine, TheProgramNameHasNoEscapes)
{
    EXPECT_EQ(splitWindowsCommandLine("\"C:\\Program Files\\x.exe\" a"), (Arguments{"C:\\Program Files\\x.exe", "a"}));
    EXPECT_EQ(splitWindowsCommandLine("C:\\x\\ a"), (Arguments{"C:\\x\\", "a"}));
    EXPECT_EQ(splitWindowsCommandLine("\"C:\\x\\\"a b"), (Arguments{"C:\\x\\", "a", "b"}));
    EXPECT_EQ(splitWindowsCommandLine(" a b"), (Arguments{"", "a", "b"})) << "leading blank: empty program name";
    EXPECT_EQ(splitWindowsCommandLine(""), (Arguments{""}));
}

TEST(WindowsCommandLine, EmptyAndUnclosedArguments)
{
    EXPECT_EQ(splitWindowsCommandLine("p \"\" \t x  "), (Arguments{"p", "", "x"}));
    EXPECT_EQ(splitWindowsCommandLine("p \"a b"), (Arguments{"p", "a b"}));
    EXPECT_EQ(splitWindowsCommandLine("p a\\"), (Arguments{"p", "a\\"}));
}

#ifdef _WIN32
Arguments systemSplit(const std::string& line)
{
    const std::wstring wide(line.begin(), line.end());
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(wide.c_str(), &count);
    Arguments arguments;
    for (int i = 0; i < count; ++i) {
        const std::wstring argument(argv[i]);
        arguments.emplace_back(argument.begin(), argument.end());
    }
    LocalFree(argv);
    return arguments;
}

// Two double quotes inside a quoted part are read differently by the C
// runtime and by CommandLineToArgvW, and the splitter says so; every other
// line must split the same.
TEST(WindowsCommandLine, SplitsAsCommandLineToArgvW)
{
    bool doubled = false;
    EXPECT_NE(splitWindowsCommandLine("p a\"b\"\" c d", &doubled), systemSplit("p a\"b\"\" c d"));
    EXPECT_TRUE(doubled);

    std::vector<std::string> lines = {
        "p \"abc\" d e", "p a\\\\b d\"e f\"g h", "p a\\\\\\\"b c d", "p a\\\\\\\\\"b c\" d e",
        "\"C:\\Program Files\\x.exe\" a", "C:\\x\\ a", "\"C:\\x\\\"a b", "p \"\" \t x  ", "p \"a b", "p a\\",
    };
    std::vector<CommandLineToken> awkward;
    for (const char* value : {"D:\\", "a\"b", "a\\\"b", "C:\\Program Files\\X\\", "", "\\\\server\\share\\", "x\\\\",
                              "\"quoted\"", "tab\there", "\\\"\\\\\""})
        awkward.push_back({value, true});
    lines.push_back("\"C:\\Apps\\updater.exe\" " + commandLineText(awkward));
    for (const std::string& line : lines) {
        EXPECT_EQ(splitWindowsCommandLine(line, &doubled), systemSplit(line)) << line;
        EXPECT_FALSE(doubled) << line;
    }
}
#endif

} // namespace
