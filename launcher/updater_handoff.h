// Handing over to the updater program.
#pragma once

#include "application_settings.h"
#include "shell_start.h"

#include <string>
#include <vector>

// Starts the updater without waiting for it when an update snapshot waits or
// an installation is requested; callerPath is the launcher's own path,
// launcherDirectory its folder. Returns 1 when the updater was started, 0
// otherwise.
int startUpdater(const std::string& callerPath, const std::string& launcherDirectory,
                 const ApplicationSettings& settings, bool installRequested, bool consoleRequested);

// The updater's arguments, in the order it expects them.
std::vector<CommandLineToken> updaterArguments(const std::string& packageName, const std::string& callerPath,
                                               const std::string& launcherDirectory, bool consoleRequested,
                                               bool installRequested);
