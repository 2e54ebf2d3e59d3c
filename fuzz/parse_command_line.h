// A program's option parser, run as its main routine runs it: the program's
// own table, then the argument vector. One place to follow the parsers'
// signature.
#pragma once

#include <boost/program_options.hpp>

#include <string>
#include <vector>

template <class Options>
Options parseCommandLine(void (*declare)(boost::program_options::options_description&),
                         Options (*parse)(const std::vector<std::string>&,
                                          const boost::program_options::options_description&),
                         const std::string& program, const std::vector<std::string>& tokens)
{
    std::vector<std::string> arguments{program};
    arguments.insert(arguments.end(), tokens.begin(), tokens.end());
    boost::program_options::options_description table("Allowed options", 80, 40);
    declare(table);
    return parse(arguments, table);
}
