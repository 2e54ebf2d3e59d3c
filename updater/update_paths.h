// Where the update data and the Java runtime are.
#pragma once

#include "updater_options.h"

#include <optional>
#include <string>

struct UpdateLocation {
    std::string directory; // handed to the runner; empty with --usnapshot
    std::string snapshot;  // its existence means an update waits
};

// --usnapshot names the file itself; else --udir, else the application data
// folder + "/" + --uapp, else home + "/data/"; the snapshot is the directory
// + "/snapshot.json". Throws std::runtime_error when --uapp needs a data
// folder that could not be determined (dataFolder empty).
UpdateLocation updateLocationFor(const UpdaterOptions& options, const std::string& homeDirectory,
                                 const std::optional<std::string>& dataFolder);

// --ujrepath as written; else the canonical form of home + "/jre" when it
// exists, or of home + "/../jre" (a file-system error when that is missing).
std::string javaRuntimeDirectoryFor(const UpdaterOptions& options, const std::string& homeDirectory);
