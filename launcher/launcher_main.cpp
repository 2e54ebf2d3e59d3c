// The launcher's main routine: the command line, then the launch sequence.
#include "launcher_main.h"

#include "exit_codes.h"
#include "jvm_host.h"
#include "launch_sequence.h"
#include "launcher_failure.h"
#include "launcher_options.h"
#include "process.h"
#include "program_answers.h"

#include <boost/filesystem/path.hpp>

#include <iostream>

int launcherMain(const std::vector<std::string>& arguments)
{
    const char* programName = arguments.empty() ? nullptr : arguments[0].c_str();

    try {
        const std::string launcherLocation = requiredModuleLocation(programName, "launcher");
        std::cout << "Current launcher location: " << launcherLocation << std::endl;

        const LauncherOptions options = parseLauncherOptions(arguments);
        const LauncherRun run{options, launcherLocation,
                              boost::filesystem::path(launcherLocation).parent_path().string()};

        if (options.splash)
            showLauncherSplash();

        if (answerHelpOrVersion(options.help, options.version, launcherOptionTable(), "Launcher version: "))
            return 0;
        if (options.console)
            openConsole();
        if (options.verbose)
            verboseMode = true;

        return runLaunchSequence(run);
    } catch (const std::exception& e) {
        reportLauncherFailure(e);
        return kUnhandledExceptionExitCode;
    }
}
