// The updater's main routine: the command line, then the update run.
#include "updater_main.h"

#include "exit_codes.h"
#include "jvm_host.h"
#include "process.h"
#include "program_answers.h"
#include "update_run.h"
#include "updater_directories.h"
#include "updater_options.h"

int updaterMain(const std::vector<std::string>& arguments)
{
    const char* programName = arguments.empty() ? nullptr : arguments[0].c_str();
    try {
        const UpdaterOptions options = parseUpdaterOptions(arguments);
        const UpdaterRun run{options, updaterDirectoriesFor(requiredModuleLocation(programName, "updater"), options)};

        // Help and version end the program before any switch takes effect.
        if (answerHelpOrVersion(options.help, options.version, updaterOptionTable(), "Updater launcher version: "))
            return 0;

        if (options.console)
            openConsole();
        if (options.verbose)
            verboseMode = true;

        return runUpdate(run);
    } catch (const std::exception& e) {
        showErrorBox(e);
        return kUnhandledExceptionExitCode;
    }
}
