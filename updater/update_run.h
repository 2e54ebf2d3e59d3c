// The update run: snapshot, Java runtime, the Java updater runner, and the
// relaunch of the caller.
#pragma once

#include "updater_directories.h"
#include "updater_options.h"

struct UpdaterRun {
    const UpdaterOptions& options;
    UpdaterDirectories directories;
};

// Returns 0 when no snapshot waits (nothing else happens then), 1 once the
// runner has returned, whatever its result. Failures are thrown, for the
// main routine's handler.
int runUpdate(const UpdaterRun& run);
