// Starting the caller again at the desktop user's own level.
#pragma once

#include "shell_start.h"

// An elevated updater has the desktop's shell start the caller, so that the
// application runs as the user who is signed in, with that user's rights,
// and not as whoever typed the administrator's credentials. Without a shell
// to ask (none runs, a service session), and whenever the updater is not
// elevated, the caller is started as any program is (shellStart). Returns
// true when it was started.
bool startCaller(const ShellCommand& command);

// What asking the desktop's shell to start a program gave.
enum class ShellStart { Started, Failed, NoShell };
using AskShell = ShellStart (*)(const ShellCommand& command);

// startCaller's choice, for an updater that is `elevated` or not, with
// `askShell` as the desktop's shell (asked only when elevated).
bool startCallerAs(const ShellCommand& command, bool elevated, AskShell askShell);
