// Splits one line of standin.txt into blank-separated tokens.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

struct Token {
    std::u16string text;
    // Quoted tokens are always values, never keywords.
    bool quoted = false;
};

// `#` outside quotes ends the line. Quoted tokens take \" \\ \n \t \r \0 and
// \uXXXX (one UTF-16 unit); everything else in the line is UTF-8.
// Throws std::runtime_error on a malformed line.
std::vector<Token> tokenize(std::string_view line);

} // namespace standin
