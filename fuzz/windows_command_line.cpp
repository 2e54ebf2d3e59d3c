#include "windows_command_line.h"

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

std::vector<std::string> splitWindowsCommandLine(const std::string& line, bool* doubledQuote)
{
    if (doubledQuote != nullptr)
        *doubledQuote = false;
    const std::size_t end = line.size();
    std::size_t i = 0;
    std::vector<std::string> arguments(1);

    std::string& program = arguments.front();
    if (i < end && line[i] == '"') {
        for (++i; i < end && line[i] != '"'; ++i)
            program += line[i];
        if (i < end)
            ++i; // the closing quote
    } else {
        for (; i < end && !isBlank(line[i]); ++i)
            program += line[i];
    }

    for (;;) {
        while (i < end && isBlank(line[i]))
            ++i;
        if (i == end)
            break;
        std::string argument;
        bool quoted = false;
        while (i < end && (quoted || !isBlank(line[i]))) {
            std::size_t backslashes = 0;
            while (i < end && line[i] == '\\') {
                ++backslashes;
                ++i;
            }
            if (i < end && line[i] == '"') {
                argument.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    argument += '"';
                } else if (quoted && i + 1 < end && line[i + 1] == '"') {
                    argument += '"';
                    ++i;
                    if (doubledQuote != nullptr)
                        *doubledQuote = true;
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                argument.append(backslashes, '\\');
                if (i < end && (quoted || !isBlank(line[i])))
                    argument += line[i++];
            }
        }
        arguments.push_back(argument);
    }
    return arguments;
}
