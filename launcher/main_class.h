// Calling the application's Java entry point.
#pragma once

#include "application_settings.h"

#include <string>
#include <vector>

// Finds mainClass and calls its int mainMethod(String[]), statically when the
// class has such a static method, otherwise on a new instance. Returns the
// method's result; throws std::runtime_error when the class, constructor or
// method is missing or the object cannot be made.
int invokeMainClass(const ApplicationSettings& settings, const std::vector<std::string>& arguments);
