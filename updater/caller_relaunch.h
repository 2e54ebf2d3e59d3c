// Starting the program that called the updater again.
#pragma once

#include <string>

// Starts callerPath without waiting for it, with --lverbose --lconsole when
// the updater had a console. A failed start is reported on standard error and
// is no failure of the update.
void relaunchCaller(const std::string& callerPath, bool consoleRequested);
