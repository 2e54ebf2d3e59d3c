// Calling the Java updater class in the process's virtual machine.
#pragma once

#include <string>
#include <vector>

// Makes an io/tarnwick/updater/UpdaterRunner with its no-argument constructor
// and returns what its int run(String[]) gives for the arguments. Throws
// std::runtime_error with "The UpdaterRunner is not found", "Failed to create
// UpdaterRunner" or "Failed to run UpdaterRunner", or the argument array's
// own failure (java_arguments.h); a Java exception is never left pending and
// every local reference made here is released.
int invokeUpdaterRunner(const std::vector<std::string>& arguments);
