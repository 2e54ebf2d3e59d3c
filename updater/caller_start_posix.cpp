// Linux: the caller started again as the same user.
#include "caller_start.h"

bool startCaller(const ShellCommand& command)
{
    // No elevation on Linux: the updater already runs as the user.
    return shellStart(command);
}
