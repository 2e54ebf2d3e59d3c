// Stands in for a program that another one starts (the updater, a relaunched
// caller): appends what it received to received.txt beside itself, and what
// it inherited besides its arguments.
#include "process.h"

#include <boost/filesystem.hpp>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#endif

namespace {

// Linux: every open descriptor but the one that lists them.
// Windows: the file that the handle value RECORD_ARGS_HANDLE (hex) names
// here, if any.
std::string inherited()
{
#ifdef _WIN32
    const char* value = std::getenv("RECORD_ARGS_HANDLE");
    if (value == nullptr)
        return {};
    HANDLE handle = reinterpret_cast<HANDLE>(std::strtoull(value, nullptr, 16));
    char path[MAX_PATH * 2] = {};
    if (GetFinalPathNameByHandleA(handle, path, sizeof path, FILE_NAME_NORMALIZED) == 0)
        return "handle: no file\n";
    return std::string("handle: ") + path + "\n";
#else
    std::string list = "descriptors:";
    DIR* fds = opendir("/proc/self/fd");
    if (fds == nullptr)
        return {};
    std::vector<int> numbers;
    while (dirent* entry = readdir(fds)) {
        if (entry->d_name[0] != '.' && std::atoi(entry->d_name) != dirfd(fds))
            numbers.push_back(std::atoi(entry->d_name));
    }
    closedir(fds);
    std::sort(numbers.begin(), numbers.end());
    for (int number : numbers)
        list += " " + std::to_string(number);
    return list + "\n";
#endif
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments = narrowCommandLine(argc, argv);
    const std::string received = inherited();
    boost::filesystem::path self(moduleLocation(arguments.empty() ? nullptr : arguments[0].c_str()));
    std::ofstream out((self.parent_path() / "received.txt").string().c_str(), std::ios::app | std::ios::binary);
#ifdef _WIN32
    out << "command line: " << GetCommandLineA() << "\n";
#endif
    out << received;
    for (size_t i = 1; i < arguments.size(); ++i)
        out << "arg: " << arguments[i] << "\n";
    out << "end\n";
    return 0;
}
