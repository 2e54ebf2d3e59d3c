#include "updater_main.h"

#include "exit_codes.h"
#include "jvm_host.h"
#include "process.h"
#include "update_run.h"
#include "updater_directories.h"
#include "updater_options.h"

#include <boost/program_options.hpp>

#include <sstream>

namespace po = boost::program_options;

int updaterMain(const std::vector<std::string>& arguments)
{
    po::options_description table("Allowed options", 80, 40);
    try {
        declareUpdaterOptions(table);
        const UpdaterOptions options = parseUpdaterOptions(arguments, table);
        const bool keepUpdate = keepUpdateRequested(options);
        const UpdaterDirectories directories = updaterDirectoriesFor(
            requiredModuleLocation(arguments.empty() ? nullptr : arguments[0].c_str(), "updater"), options);

        // Help and version end the program before any switch takes effect.
        if (options.has("uhelp")) {
            std::ostringstream help;
            help << table;
            showInfoBox(help.str());
            return 0;
        }
        if (options.has("uversion")) {
            showInfoBox("Updater launcher version: 1.1.0");
            return 0;
        }

        const bool consoleRequested = options.has("uconsole");
        if (consoleRequested)
            openConsole();
        const bool webInstall = options.has("uwebInstall");
        if (options.has("uverbose"))
            verboseMode = true;

        return runUpdate(UpdaterRun{options, directories.home, directories.libraries, directories.application,
                                    keepUpdate, webInstall, consoleRequested});
    } catch (const std::exception& e) {
        showErrorBox(e);
        return kUnhandledExceptionExitCode;
    }
}
