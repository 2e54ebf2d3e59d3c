// Handing over to the updater program: whether, which one, and its arguments.
#include "updater_handoff.h"

#include "jvm_host.h"
#include "process.h"
#include "program_names.h"
#include "updater_choice.h"

#include <boost/filesystem.hpp>

#include <iostream>
#include <optional>

namespace fs = boost::filesystem;

namespace {

// The option and its value as two tokens; a value that begins with '-' would
// be read as an option of its own, so it is joined to its option instead.
void addValued(std::vector<CommandLineToken>& arguments, const char* option, const std::string& value)
{
    if (!value.empty() && value[0] == '-') {
        arguments.push_back({std::string(option) + "=" + value, true});
        return;
    }
    arguments.push_back({option, false});
    arguments.push_back({value, true});
}

} // namespace

std::vector<CommandLineToken> updaterArguments(const std::string& packageName, const std::string& callerPath,
                                               const std::string& launcherDirectory, bool consoleRequested,
                                               bool installRequested)
{
    std::vector<CommandLineToken> arguments;
    addValued(arguments, "--uapp", packageName);
    addValued(arguments, "--ucaller", callerPath);
    addValued(arguments, "--uappDir", launcherDirectory);
    if (consoleRequested) {
        arguments.push_back({"--uverbose", false});
        arguments.push_back({"--uconsole", false});
    }
    if (installRequested)
        arguments.push_back({"--uwebInstall", false});
    return arguments;
}

int startUpdater(const std::string& callerPath, const std::string& launcherDirectory,
                 const ApplicationSettings& settings, bool installRequested, bool consoleRequested)
{
    // Without a data folder there is neither a snapshot nor a per-user
    // updater; an installation can still use the updater beside the launcher.
    const std::optional<std::string> dataFolder = applicationDataFolder();
    const std::string packageFolder = dataFolder ? *dataFolder + "/" + settings.packageName : std::string();
    const std::string snapshotPath = packageFolder + "/snapshot.json";

    if (!installRequested && (!dataFolder || !fs::exists(snapshotPath))) {
        if (verboseMode) {
            if (dataFolder)
                std::cout << "No snapshot.json exists at: " << snapshotPath << std::endl;
            else
                std::cout << "No application data folder, so no snapshot.json exists" << std::endl;
        }
        return 0;
    }

    const std::string besideUpdater = launcherDirectory + "/updater/" + kUpdaterProgramName;
    const UpdaterChoice updater =
        dataFolder ? chooseUpdater(callerPath, packageFolder + "/updater/" + kUpdaterProgramName,
                                   besideUpdater)
                   : UpdaterChoice{besideUpdater, nullptr};
    const std::string& updaterPath = updater.path;

    ShellCommand command;
    command.program = updaterPath;
    command.arguments =
        updaterArguments(settings.packageName, callerPath, launcherDirectory, consoleRequested, installRequested);
    if (verboseMode)
        std::cout << "Invoke updater: " << updaterPath << ", command line: " << commandLineText(command.arguments)
                  << std::endl;
    return shellStart(command) ? 1 : 0;
}
