// The command line a started program reads back as the arguments given.
#include "shell_start.h"

namespace {

// Quoting that CommandLineToArgvW undoes exactly: backslashes count only
// before a double quote, where they are doubled, and the quote is escaped.
void appendQuoted(std::string& out, const std::string& value)
{
    out += '"';
    size_t backslashes = 0;
    for (char c : value) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            out.append(backslashes * 2 + 1, '\\');
        } else {
            out.append(backslashes, '\\');
        }
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    out += '"';
}

} // namespace

std::string commandLineText(const std::vector<CommandLineToken>& arguments)
{
    std::string text;
    for (const CommandLineToken& token : arguments) {
        if (!text.empty())
            text += ' ';
        if (token.quoted)
            appendQuoted(text, token.text);
        else
            text += token.text;
    }
    return text;
}
