// The updater's command line.
#pragma once

#include <boost/program_options.hpp>

#include <string>
#include <vector>

// The parsed command line: the values of the updater's own options, and every
// token in command-line order (unknown ones marked unregistered).
struct UpdaterOptions {
    boost::program_options::variables_map values;
    std::vector<boost::program_options::option> parsed;

    bool has(const char* name) const { return values.count(name) > 0; }
    std::string text(const char* name) const { return values[name].as<std::string>(); }
};

// Adds the updater's options to the table, in the order of the help text.
void declareUpdaterOptions(boost::program_options::options_description& table);

// Parses every argument but the first (the program's name). Throws the options library's errors (missing or
// unexpected values, invalid booleans, ambiguous abbreviations, repeats).
UpdaterOptions parseUpdaterOptions(const std::vector<std::string>& arguments,
                                   const boost::program_options::options_description& table);

// --ukeep_update when given, otherwise false.
bool keepUpdateRequested(const UpdaterOptions& options);

// Tokens that are no updater option, as written, in command-line order: the
// Java runner gets them first.
std::vector<std::string> forwardedTokensOf(const UpdaterOptions& options);
