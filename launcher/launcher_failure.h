// How the launcher reports a failure that ends it.
#pragma once

#include <exception>

// "Exception: " and the text on standard error, then the error box.
void reportLauncherFailure(const std::exception& failure);
