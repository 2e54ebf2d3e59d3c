// The updater's command line, read once into a record.
#pragma once

#include "option_table.h"

#include <optional>
#include <string>
#include <vector>

struct UpdaterOptions {
    bool help = false;       // --uhelp
    bool version = false;    // --uversion
    bool console = false;    // --uconsole
    bool webInstall = false; // --uwebInstall
    bool verbose = false;    // --uverbose
    bool keepUpdate = false; // --ukeep_update when given, otherwise false
    std::optional<std::string> updateDirectory;      // --udir
    std::optional<std::string> application;          // --uapp
    std::optional<std::string> snapshot;             // --usnapshot
    std::optional<std::string> caller;               // --ucaller
    std::optional<std::string> applicationDirectory; // --uappDir
    std::optional<std::string> jrePath;              // --ujrepath
    // Tokens that are no updater option, as written, in command-line order:
    // the Java runner gets them first.
    std::vector<std::string> forwarded;
};

// The updater's options, in the order of the help text.
const CommandLineTable& updaterOptionTable();

// The record of one parse of updaterOptionTable().
UpdaterOptions updaterOptionsFrom(const ParsedCommandLine& parsed);

// Parses every argument but the first (the program's name). Throws the options library's errors (missing or
// unexpected values, invalid booleans, ambiguous abbreviations, repeats).
UpdaterOptions parseUpdaterOptions(const std::vector<std::string>& arguments);
