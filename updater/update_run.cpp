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
    const UpdateLocation location = updateLocationFor(options, run.homeDirectory, applicationDataFolder());

    // A web installation has no snapshot yet.
    if (!run.webInstall) {
        if (!fs::exists(location.snapshot)) {
            std::cout << "No update file found at: " << location.snapshot << ", the updater will exit"
                      << std::endl;
            return kNoUpdateExitCode;
        }
        std::cout << "Update file found at: " << location.snapshot << std::endl;
    }

    const std::string jreDirectory = javaRuntimeDirectoryFor(options, run.homeDirectory);

    RunnerSettings settings;
    settings.forwarded = forwardedTokensOf(options);

    if (verboseMode) {
        std::cout << "Application home directory: " << run.applicationDirectory << std::endl;
        std::cout << "Updater home dir: " << run.homeDirectory << std::endl;
        std::cout << "Updater libraries dir: " << run.librariesDirectory << std::endl;
        std::cout << "Updater data directory: " << location.directory << std::endl;
    }

    // Java splits the class path at every separator, and the part of an
    // entry after one would be found from the current folder.
    if (run.librariesDirectory.find(kClassPathSeparator) != std::string::npos)
        throw std::runtime_error(std::string("The updater folder holds the class path separator ") +
                                 kClassPathSeparator + ", so Java would take classes from the current folder: " +
                                 run.librariesDirectory);
    const std::string classPath = buildUpdaterClassPath(run.librariesDirectory);
    // Java would read an empty class path as the current folder, and the
    // updater may run with administrator rights.
    if (classPath.empty())
        throw std::runtime_error("The UpdaterRunner is not found");
    // A runtime that ends the process while it starts gets the error box that
    // updaterMain's handler shows for a failure.
    setFailureReport(showErrorBox);
    createJavaVM(jreDirectory, {"-Djava.class.path=" + classPath});

    settings.updateDirectory = location.directory;
    settings.applicationDirectory = run.applicationDirectory;
    settings.keepUpdate = run.keepUpdate;
    settings.webInstall = run.webInstall;
    if (options.has("uapp"))
        settings.application = options.text("uapp");
    const std::vector<std::string> arguments = runnerArgumentsFor(settings);
    if (verboseMode)
        std::cout << "Run jvm with arguments: " << boost::algorithm::join(arguments, " ") << std::endl;

    const int result = invokeUpdaterRunner(arguments);
    if (verboseMode)
        std::cout << "Updater result code: " << result << std::endl;

    // The runner's data is on disk before the caller starts again.
    return endJavaVM([&options, &run, result] {
        if (result == 0 && options.has("ucaller"))
            relaunchCaller(options.text("ucaller"), run.consoleRequested);
        return kRunnerReturnedExitCode;
    });
}
