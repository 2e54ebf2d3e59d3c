#include "process.h"

#include "process_internal.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

int narrowCommandLine(char*** result)
{
    // The kernel's copy of argv, NUL-separated: the twin of the Windows
    // command line, read without needing main()'s parameters.
    std::ifstream file("/proc/self/cmdline", std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<std::string> args;
    for (size_t start = 0; start < all.size();) {
        size_t end = all.find('\0', start);
        if (end == std::string::npos)
            end = all.size();
        args.emplace_back(all, start, end - start);
        start = end + 1;
    }
    char** narrow = static_cast<char**>(std::calloc(args.size() + 1, sizeof(char*)));
    if (narrow == nullptr) {
        *result = nullptr;
        return 0;
    }
    int count = 0;
    for (const std::string& arg : args) {
        char* copy = strdup(arg.c_str());
        if (copy == nullptr)
            break;
        narrow[count++] = copy;
    }
    *result = narrow;
    return count;
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
