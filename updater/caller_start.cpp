// Starting the caller again: directly, or through the desktop shell when elevated.
#include "caller_start.h"

#include "jvm_host.h"

#include <iostream>

bool startCallerAs(const ShellCommand& command, bool elevated, AskShell askShell)
{
    if (!elevated)
        return shellStart(command);
    switch (askShell(command)) {
    case ShellStart::Started:
        if (verboseMode)
            std::cout << "Caller started by the desktop shell, as the signed-in user" << std::endl;
        return true;
    case ShellStart::Failed:
        // Reported by the caller; never then started elevated instead.
        return false;
    case ShellStart::NoShell:
        break;
    }
    if (verboseMode)
        std::cout << "No desktop shell to start the caller as the signed-in user, so it runs elevated" << std::endl;
    return shellStart(command);
}
