// The updater program's main routine.
#pragma once

#include <string>
#include <vector>

// The updater's main routine: options, then the update run. Takes the
// arguments with the program's name first; returns the process exit code: 0,
// 1, or 574 after a failure.
int updaterMain(const std::vector<std::string>& arguments);
