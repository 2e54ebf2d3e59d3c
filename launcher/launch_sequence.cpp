// From the configuration file to the Java main method, and the updater after it.
#include "launch_sequence.h"

#include "archive_dump.h"
#include "archive_plan.h"
#include "class_path_resolver.h"
#include "exit_codes.h"
#include "failure_report.h"
#include "jvm_host.h"
#include "launcher_failure.h"
#include "main_class.h"
#include "path_conventions.h"
#include "splash_bridge.h"
#include "splash_natives.h"
#include "updater_handoff.h"

#include <boost/algorithm/string/join.hpp>
#include <boost/filesystem.hpp>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <iterator>
#include <stdexcept>

namespace fs = boost::filesystem;

namespace {

constexpr std::chrono::milliseconds kSplashHeadStart{100};

const char* flag(bool value)
{
    return value ? "1" : "0";
}

} // namespace

void showLauncherSplash()
{
    show_resource_splash();
    await_splash(kSplashHeadStart);
}

std::string configFileFor(const LauncherRun& run)
{
    if (run.options.configFile)
        return *run.options.configFile;
    return run.applicationDirectory + "/cfg/" + fs::path(run.launcherLocation).stem().string() + ".json";
}

std::string resolveClassPathEntry(const std::string& applicationDirectory, const std::string& entry)
{
    return ClassPathResolver(applicationDirectory).resolve(entry);
}

std::vector<std::string> resolvedClassPath(const std::string& applicationDirectory,
                                           const std::vector<std::string>& entries)
{
    ClassPathResolver resolver(applicationDirectory);
    std::vector<std::string> resolved;
    resolved.reserve(entries.size());
    std::transform(entries.begin(), entries.end(), std::back_inserter(resolved),
                   [&resolver](const std::string& entry) { return resolver.resolve(entry); });
    // Java reads an empty class path, and every empty element of one, as the
    // current folder: whoever controls that folder would choose the classes.
    if (resolved.empty())
        throw std::runtime_error("The class path is empty, which Java reads as the current folder");
    const std::string doubled = std::string(kClassPathSeparator) + kClassPathSeparator;
    for (size_t i = 0; i < resolved.size(); ++i) {
        const std::string separated = kClassPathSeparator + resolved[i] + kClassPathSeparator;
        if (separated.find(doubled) != std::string::npos)
            throw std::runtime_error("The class path would hold an empty element (classPath entry " +
                                     std::to_string(i + 1) + "), which Java reads as the current folder");
    }
    return resolved;
}

std::string classPathText(const std::vector<std::string>& resolved)
{
    return boost::algorithm::join(resolved, kClassPathSeparator);
}

std::vector<std::string> jvmOptionsFor(const std::string& classPath, const ApplicationSettings& settings,
                                       const std::vector<std::string>& extra)
{
    std::vector<std::string> options;
    options.push_back("-Djava.class.path=" + classPath);
    options.insert(options.end(), extra.begin(), extra.end());
    options.insert(options.end(), settings.vmOption.begin(), settings.vmOption.end());
    return options;
}

int runLaunchSequence(const LauncherRun& run)
{
    const std::string configFile = configFileFor(run);
    if (verboseMode)
        std::cout << "Using config file: " << configFile << std::endl;

    ApplicationSettings settings;
    readApplicationSettings(configFile, settings);
    if (verboseMode)
        std::cout << "Application settings [packageName = " << settings.packageName
                  << ", mainClass = " << settings.mainClass << ", mainMethod = " << settings.mainMethod
                  << ", appNature = " << settings.appNature
                  << ", invokeUpdater = " << flag(settings.invokeUpdater) << "]" << std::endl;

    const bool hasInstallMe = fs::exists(run.applicationDirectory + "/install.me");
    const bool hasLib = fs::exists(run.applicationDirectory + "/lib");
    // Without lib nothing could run: an installation is still asked for.
    const bool installNeeded = run.options.forceInstall || (hasInstallMe && !run.options.noUpdate) || !hasLib;
    if (verboseMode && run.options.noUpdate)
        std::cout << "No update in this run (--lnoUpdate)" << std::endl;
    if (verboseMode && installNeeded)
        std::cout << "Run WebInstall, forceInstall: " << flag(run.options.forceInstall)
                  << ", has install.me: " << flag(hasInstallMe) << ", has lib dir: " << flag(hasLib)
                  << std::endl;

    if (installNeeded || (settings.invokeUpdater && !run.options.noUpdate)) {
        int started = startUpdater(run.launcherLocation, run.applicationDirectory, settings, installNeeded,
                                   run.options.console);
        if (verboseMode)
            std::cout << "Updater returns code: " << started << std::endl;
        if (started == 1)
            return 0;
    }

    const std::string jreDirectory = run.options.jrePath.value_or(run.applicationDirectory + "/jre");
    const std::vector<std::string>& arguments = run.options.passThrough;

    // Java splits the class path at every separator: the part of an entry
    // after one would be found from the current folder.
    if (run.applicationDirectory.find(kClassPathSeparator) != std::string::npos)
        throw std::runtime_error(std::string("The application folder holds the class path separator ") +
                                 kClassPathSeparator + ", so Java would take classes from the current folder: " +
                                 run.applicationDirectory);
    const std::vector<std::string> classPathEntries = resolvedClassPath(run.applicationDirectory, settings.classPath);
    const std::string classPath = classPathText(classPathEntries);
    if (verboseMode)
        std::cout << "Using classpath: " << classPath << std::endl;
    const ClassDataArchive archive = planClassDataArchive(settings, jreDirectory, classPathEntries);
    const std::vector<std::string> jvmOptions = jvmOptionsFor(classPath, settings, archive.options);

    if (settings.showSplash) {
        std::cout << "Show resource splash window" << std::endl;
        showLauncherSplash();
        set_splash_progress({37, 216, 426, 12, 20, 85, 201}, "Initialing Environment ...", false);
    }

    // A runtime that ends the process while it starts is reported as the
    // handler in launcherMain reports a failure.
    setFailureReport(reportLauncherFailure);
    createJavaVM(jreDirectory, jvmOptions);
    register_splash_natives(processJNIEnv);

    const int exitCode = invokeMainClass(settings, arguments);
    if (verboseMode)
        std::cout << "Application exited with code: " << exitCode << std::endl;
    writeClassDataArchive(archive, processJNIEnv, exitCode);
    // The application's data is on disk before the updater replaces a file.
    return endJavaVM([&run, &settings, exitCode] {
        if (exitCode == kUpdateRequestedExitCode && !run.options.noUpdate)
            startUpdater(run.launcherLocation, run.applicationDirectory, settings, false, run.options.console);
        return 0;
    });
}
