// The update run, from the snapshot check to the caller's relaunch.
#include "update_run.h"

#include "caller_relaunch.h"
#include "failure_report.h"
#include "jvm_host.h"
#include "path_conventions.h"
#include "process.h"
#include "runner_arguments.h"
#include "update_paths.h"
#include "updater_class_path.h"
#include "updater_runner.h"

#include <boost/algorithm/string/join.hpp>
#include <boost/filesystem/operations.hpp>

#include <iostream>
#include <stdexcept>

namespace fs = boost::filesystem;

namespace {

constexpr int kNoUpdateExitCode = 0;
constexpr int kRunnerReturnedExitCode = 1;

} // namespace

int runUpdate(const UpdaterRun& run)
{
    const UpdaterOptions& options = run.options;
    const UpdaterDirectories& directories = run.directories;
    const UpdateLocation location = updateLocationFor(options, directories.home, applicationDataFolder());

    // A web installation has no snapshot yet.
    if (!options.webInstall) {
        if (!fs::exists(location.snapshot)) {
            std::cout << "No update file found at: " << location.snapshot << ", the updater will exit"
                      << std::endl;
            return kNoUpdateExitCode;
        }
        std::cout << "Update file found at: " << location.snapshot << std::endl;
    }

    const std::string jreDirectory = javaRuntimeDirectoryFor(options, directories.home);

    RunnerSettings settings;
    settings.forwarded = options.forwarded;

    if (verboseMode) {
        std::cout << "Application home directory: " << directories.application << std::endl;
        std::cout << "Updater home dir: " << directories.home << std::endl;
        std::cout << "Updater libraries dir: " << directories.libraries << std::endl;
        std::cout << "Updater data directory: " << location.directory << std::endl;
    }

    // Java splits the class path at every separator, and the part of an
    // entry after one would be found from the current folder.
    if (directories.libraries.find(kClassPathSeparator) != std::string::npos)
        throw std::runtime_error(std::string("The updater folder holds the class path separator ") +
                                 kClassPathSeparator + ", so Java would take classes from the current folder: " +
                                 directories.libraries);
    const std::string classPath = buildUpdaterClassPath(directories.libraries);
    // Java would read an empty class path as the current folder, and the
    // updater may run with administrator rights.
    if (classPath.empty())
        throw std::runtime_error("The UpdaterRunner is not found");
    // A runtime that ends the process while it starts gets the error box that
    // updaterMain's handler shows for a failure.
    setFailureReport(showErrorBox);
    createJavaVM(jreDirectory, {"-Djava.class.path=" + classPath});

    settings.updateDirectory = location.directory;
    settings.applicationDirectory = directories.application;
    settings.keepUpdate = options.keepUpdate;
    settings.webInstall = options.webInstall;
    settings.application = options.application;
    const std::vector<std::string> arguments = runnerArgumentsFor(settings);
    if (verboseMode)
        std::cout << "Run jvm with arguments: " << boost::algorithm::join(arguments, " ") << std::endl;

    const int result = invokeUpdaterRunner(arguments);
    if (verboseMode)
        std::cout << "Updater result code: " << result << std::endl;

    // The runner's data is on disk before the caller starts again.
    return endJavaVM([&options, result] {
        if (result == 0 && options.caller)
            relaunchCaller(*options.caller, options.console);
        return kRunnerReturnedExitCode;
    });
}
