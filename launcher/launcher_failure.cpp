// The launcher's error box and line for a failure that ends it.
#include "launcher_failure.h"

#include "process.h"

#include <iostream>

void reportLauncherFailure(const std::exception& failure)
{
    std::cerr << "Exception: " << failure.what() << std::endl;
    showErrorBox(failure);
}
