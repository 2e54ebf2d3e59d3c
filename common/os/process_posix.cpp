// The process helpers on Linux: main's own arguments, boxes as lines on the
// standard streams, the program's location, the per-user data folder.
#include "process.h"

#include "process_internal.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>

std::vector<std::string> narrowCommandLine(int argc, char** argv)
{
    // main's own argv: it needs no /proc, and no length limit applies.
    std::vector<std::string> arguments;
    for (int i = 0; i < argc && argv != nullptr && argv[i] != nullptr; ++i)
        arguments.emplace_back(argv[i]);
    return arguments;
}

unsigned long processId()
{
    return static_cast<unsigned long>(getpid());
}

std::string lastErrorText()
{
    int code = errno;
    if (code == 0)
        return {};
    return std::strerror(code);
}

void openConsole()
{
    // Standard output already reaches the terminal that started the program.
}

void showErrorBox(const std::exception& e)
{
    std::cerr << errorBoxText(e) << std::endl;
}

void showInfoBox(const std::string& text)
{
    std::cout << text << std::endl;
}

std::string moduleLocation(const char* fallbackName)
{
    char buffer[kModulePathBufferSize] = {};
    ssize_t length = readlink("/proc/self/exe", buffer, kModulePathBufferSize);
    if (length > 0 && static_cast<size_t>(length) != kModulePathBufferSize)
        return std::string(buffer, static_cast<size_t>(length));
    return canonicalFallbackLocation(fallbackName);
}

std::optional<std::string> applicationDataFolder()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/')
        return std::string(data);
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
        return std::string(home) + "/.local/share";
    return std::nullopt;
}
