// From the configuration file to the Java main method.
#pragma once

#include "application_settings.h"
#include "launcher_options.h"

#include <string>
#include <vector>

// The command line as parsed, and where the launcher is: worked out once,
// at the start, for every part that needs it.
struct LauncherRun {
    const LauncherOptions& options;
    std::string launcherLocation;
    std::string applicationDirectory; // the launcher's folder
};

// Shows the launcher's own picture and waits until it is on the screen, for
// a tenth of a second at most: the JVM, loaded next, would take the
// processors and the program loader from the splash thread. An X server
// that does not answer holds the launch up no longer than that.
void showLauncherSplash();

// Runs everything after the command line has been handled; returns the exit
// code. Failures are thrown, for the main routine's handler.
int runLaunchSequence(const LauncherRun& run);

// The configuration file: --lcfgfile as written, else cfg/<stem>.json beside
// the launcher.
std::string configFileFor(const LauncherRun& run);

// An entry that starts with "." is taken relative to the application
// directory and made canonical (it must exist); any other entry is kept.
std::string resolveClassPathEntry(const std::string& applicationDirectory, const std::string& entry);

// The entries resolved. Throws std::runtime_error when the class path would
// be empty or hold an empty element: Java would read either as the current
// folder.
std::vector<std::string> resolvedClassPath(const std::string& applicationDirectory,
                                           const std::vector<std::string>& entries);

// The resolved entries joined with the platform's separator, as Java reads them.
std::string classPathText(const std::vector<std::string>& resolved);

// The class path option, then `extra` (the launcher's own), then the
// configured options: a configured option of the same kind wins.
std::vector<std::string> jvmOptionsFor(const std::string& classPath, const ApplicationSettings& settings,
                                       const std::vector<std::string>& extra = {});
