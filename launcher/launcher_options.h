// The launcher's own command-line options.
#pragma once

#include <boost/program_options.hpp>

#include <string>
#include <vector>

struct LauncherOptions {
    boost::program_options::variables_map values;
    std::vector<boost::program_options::option> parsed;
};

// Adds the launcher's options to the table, in the order of the help text.
void declareLauncherOptions(boost::program_options::options_description& table);

// Parses every argument but the first (the program's name); tokens that are
// not launcher options are kept in the parsed list, unrecognised.
LauncherOptions parseLauncherOptions(const std::vector<std::string>& arguments,
                                     const boost::program_options::options_description& table);

// Every token that no launcher option consumed, in command-line order.
std::vector<std::string> passThroughArgumentsOf(const LauncherOptions& options);
