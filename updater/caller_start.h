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
