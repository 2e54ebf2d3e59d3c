#include "shell_start.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

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

} // namespace
