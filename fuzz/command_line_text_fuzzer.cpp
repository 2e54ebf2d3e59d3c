// commandLineText: the parameters text with which one program starts another
// through the Windows shell. The started program reads its arguments back
// with CommandLineToArgvW's rules; whatever the values, it must get exactly
// the tokens that were written, its own path first.
//
// Input: NUL-separated tokens, the first the program's path. A token that
// begins with byte 01 is written unquoted (the rest of it), as the programs
// write their own option names; the caller keeps such a token to one word,
// so one that is empty or holds a blank, tab or double quote is quoted here.
#include "shell_start.h"

#include "fuzz_support.h"
#include "windows_command_line.h"

namespace {

bool isOneWord(const std::string& text)
{
    return !text.empty() && text.find_first_of(" \t\"") == std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> tokens = splitOnNul(data, size);
    if (tokens.empty())
        tokens.emplace_back();

    // No Windows path holds a double quote; the shell puts the path between
    // two of them.
    std::string program;
    for (char c : tokens.front()) {
        if (c != '"')
            program += c;
    }

    std::vector<CommandLineToken> arguments;
    std::vector<std::string> expected{program};
    for (std::size_t i = 1; i < tokens.size(); ++i) {
        const std::string& token = tokens[i];
        const bool bare = !token.empty() && token.front() == '\x01' && isOneWord(token.substr(1));
        arguments.push_back(bare ? CommandLineToken{token.substr(1), false} : CommandLineToken{token, true});
        expected.push_back(arguments.back().text);
    }

    const std::string parameters = commandLineText(arguments);
    const std::string line = "\"" + program + "\"" + (parameters.empty() ? "" : " " + parameters);
    bool doubledQuote = false;
    const std::vector<std::string> read = splitWindowsCommandLine(line, &doubledQuote);
    FUZZ_CHECK(!doubledQuote, "a doubled quote, read otherwise by CommandLineToArgvW: " + describeText(line));
    FUZZ_CHECK(read == expected, "sent " + describeTokens(expected) + " as " + describeText(line) + ", read " +
                                     describeTokens(read));
    return 0;
}
