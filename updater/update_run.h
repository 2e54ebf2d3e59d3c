// The update run: snapshot, Java runtime, the Java updater runner, and the
// relaunch of the caller.
#pragma once

#include "updater_options.h"

#include <string>

struct UpdaterRun {
    const UpdaterOptions& options;
    std::string homeDirectory;
    std::string librariesDirectory;
    std::string applicationDirectory;
    bool keepUpdate = false;
    bool webInstall = false;
    bool consoleRequested = false;
};

// Returns 0 when no snapshot waits (nothing else happens then), 1 once the
// runner has returned, whatever its result. Failures are thrown, for the
// main routine's handler.
int runUpdate(const UpdaterRun& run);
