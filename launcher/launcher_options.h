// The launcher's own command-line options, read once into a record.
#pragma once

#include "option_table.h"

#include <optional>
#include <string>
#include <vector>

struct LauncherOptions {
    bool help = false;         // --lhelp
    bool version = false;      // --lversion
    bool splash = false;       // --lsplash
    bool forceInstall = false; // --lforceInstall
    // --lnoUpdate: no updater at the start for a waiting snapshot or
    // install.me, none after 100: the way out of an update that never
    // completes.
    bool noUpdate = false;
    bool console = false;      // --lconsole
    bool verbose = false;      // --lverbose
    std::optional<std::string> configFile; // --lcfgfile
    std::optional<std::string> jrePath;    // --ljrepath
    std::optional<std::string> event;      // --levent
    // Every token that no launcher option consumed, in command-line order:
    // the application's arguments.
    std::vector<std::string> passThrough;
};

// The launcher's options, in the order of the help text.
const CommandLineTable& launcherOptionTable();

// The record of one parse of launcherOptionTable().
LauncherOptions launcherOptionsFrom(const ParsedCommandLine& parsed);

// Parses every argument but the first (the program's name); tokens that are
// not launcher options pass through. Throws the options library's errors.
LauncherOptions parseLauncherOptions(const std::vector<std::string>& arguments);
