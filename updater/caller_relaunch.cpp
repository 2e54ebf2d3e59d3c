// Starting the program that called the updater again, once the update has run.
#include "caller_relaunch.h"

#include "caller_start.h"

#include <iostream>

void relaunchCaller(const std::string& callerPath, bool consoleRequested)
{
    const std::string quoted = "\"" + callerPath + "\"";
    std::cout << "Execute caller application: " << quoted << std::endl;

    ShellCommand command;
    command.program = callerPath;
    command.quoteProgram = true;
    if (consoleRequested)
        command.arguments = {{"--lverbose", false}, {"--lconsole", false}};
    command.keepProcessHandle = true;
    if (!startCaller(command))
        std::cerr << "Failed to executed caller app: " << quoted << std::endl;
}
