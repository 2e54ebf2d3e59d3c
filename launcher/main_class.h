// Calling the application's Java entry point.
#pragma once

#include "application_settings.h"

#include <string>
#include <vector>

// Finds mainClass and calls its int mainMethod(String[]), statically when the
// class has such a static method, otherwise on a new instance. Returns the
// method's result; throws std::runtime_error when the class, constructor or
// method is missing, the object cannot be made, or the virtual machine cannot
// make the argument array. Every local reference made here is released.
int invokeMainClass(const ApplicationSettings& settings, const std::vector<std::string>& arguments);
