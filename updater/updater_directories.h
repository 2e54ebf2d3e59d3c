// Where the updater lives and which application it updates.
#pragma once

#include "updater_options.h"

#include <string>

struct UpdaterDirectories {
    std::string home;        // the folder of the updater program
    std::string libraries;   // home + "/lib": the Java runner's archives
    std::string application; // --uappDir, else the parent of home
};

// Derived from the updater's own full path. Home keeps the path's separators
// and has none at its end, so libraries reads e.g. C:\App\updater/lib.
UpdaterDirectories updaterDirectoriesFor(const std::string& executablePath, const UpdaterOptions& options);
