// The argument list of the Java updater runner.
#include "runner_arguments.h"

namespace {

const char* flag(bool value)
{
    return value ? "true" : "false";
}

} // namespace

std::vector<std::string> runnerArgumentsFor(const RunnerSettings& settings)
{
    std::vector<std::string> arguments = settings.forwarded;
    arguments.push_back("--updateDir=" + settings.updateDirectory);
    arguments.push_back("--appDir=" + settings.applicationDirectory);
    arguments.push_back(std::string("--keepUpdate=") + flag(settings.keepUpdate));
    arguments.push_back(std::string("--webInstall=") + flag(settings.webInstall));
    if (settings.application)
        arguments.push_back("--app=" + *settings.application);
    return arguments;
}
