// A program's command line as its main routine gets it: the program's name,
// then the tokens. One place to follow the parsers' signature.
#pragma once

#include <string>
#include <vector>

inline std::vector<std::string> argumentVector(const std::string& program, const std::vector<std::string>& tokens)
{
    std::vector<std::string> arguments{program};
    arguments.insert(arguments.end(), tokens.begin(), tokens.end());
    return arguments;
}
