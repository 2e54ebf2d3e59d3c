// The launcher program's main routine.
#pragma once

#include <string>
#include <vector>

// The launcher's main routine: options, configuration, and the launch of the
// application. Takes the arguments with the program's name first; returns the
// process exit code.
int launcherMain(const std::vector<std::string>& arguments);
