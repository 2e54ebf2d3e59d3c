// The argument list of the Java updater runner.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct RunnerSettings {
    std::vector<std::string> forwarded; // tokens that were no updater option
    std::string updateDirectory;
    std::string applicationDirectory;
    bool keepUpdate = false;
    bool webInstall = false;
    std::optional<std::string> application; // --uapp
};

// The forwarded tokens, then --updateDir=, --appDir=, --keepUpdate=,
// --webInstall= and, only with --uapp, --app= last.
std::vector<std::string> runnerArgumentsFor(const RunnerSettings& settings);
