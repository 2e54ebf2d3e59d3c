#include "launcher_main.h"

#include "exit_codes.h"
#include "jvm_host.h"
#include "launch_sequence.h"
#include "launcher_failure.h"
#include "launcher_options.h"
#include "process.h"

#include <boost/filesystem.hpp>
#include <boost/program_options.hpp>

#include <iostream>
#include <sstream>

namespace po = boost::program_options;

int launcherMain(const std::vector<std::string>& arguments)
{
    po::options_description table("Allowed options", 80, 40);
    const char* programName = arguments.empty() ? nullptr : arguments[0].c_str();

    try {
        const std::string launcherLocation = requiredModuleLocation(programName, "launcher");
        std::cout << "Current launcher location: " << launcherLocation << std::endl;

        declareLauncherOptions(table);
        const LauncherOptions options = parseLauncherOptions(arguments, table);
        const po::variables_map& values = options.values;

        LauncherRun run{options, launcherLocation,
                        boost::filesystem::path(requiredModuleLocation(programName, "launcher"))
                            .parent_path()
                            .string()};

        if (values.count("lsplash"))
            showLauncherSplash();

        run.forceInstall = values.count("lforceInstall") > 0;
        run.noUpdate = values.count("lnoUpdate") > 0;

        if (values.count("lhelp")) {
            std::ostringstream help;
            help << table;
            showInfoBox(help.str());
            return 0;
        }
        if (values.count("lversion")) {
            std::ostringstream version;
            version << "Launcher version: 1.1.0";
            showInfoBox(version.str());
            return 0;
        }
        if (values.count("lconsole")) {
            openConsole();
            run.consoleRequested = true;
        }
        if (values.count("lverbose"))
            verboseMode = true;

        return runLaunchSequence(run);
    } catch (const std::exception& e) {
        reportLauncherFailure(e);
        return kUnhandledExceptionExitCode;
    }
}
