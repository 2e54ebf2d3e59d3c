// Stands in for a program that another one starts (the updater, a relaunched
// caller): appends what it received to received.txt beside itself, and what
// it inherited besides its arguments. On Windows it also writes who started
// it, and with which rights, to started.txt.
#include "process.h"

#include <boost/filesystem.hpp>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#ifdef _WIN32
#include <windows.h>
#include <tlhelp32.h>
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

#ifdef _WIN32
// Who started it, and with which rights: the file name of the parent
// process's program, and whether its own token is elevated.
std::string startedBy()
{
    std::string parent = "unknown";
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot != INVALID_HANDLE_VALUE) {
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
            if (entry.th32ProcessID != GetCurrentProcessId())
                continue;
            const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ParentProcessID);
            if (process != nullptr) {
                char path[MAX_PATH * 2] = {};
                DWORD size = sizeof(path);
                if (QueryFullProcessImageNameA(process, 0, path, &size))
                    parent = boost::filesystem::path(path).filename().string();
                CloseHandle(process);
            }
            break;
        }
        CloseHandle(snapshot);
    }
    std::string elevated = "unknown";
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        TOKEN_ELEVATION elevation{};
        DWORD size = 0;
        if (GetTokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &size))
            elevated = elevation.TokenIsElevated ? "yes" : "no";
        CloseHandle(token);
    }
    return "parent: " + parent + "\nelevated: " + elevated + "\n";
}
#endif

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments = narrowCommandLine(argc, argv);
    const std::string received = inherited();
    boost::filesystem::path self(moduleLocation(arguments.empty() ? nullptr : arguments[0].c_str()));
    std::ofstream out((self.parent_path() / "received.txt").string().c_str(), std::ios::app | std::ios::binary);
#ifdef _WIN32
    out << "command line: " << GetCommandLineA() << "\n";
    std::ofstream((self.parent_path() / "started.txt").string().c_str(), std::ios::binary) << startedBy();
#endif
    out << received;
    for (size_t i = 1; i < arguments.size(); ++i)
        out << "arg: " << arguments[i] << "\n";
    out << "end\n";
    return 0;
}
