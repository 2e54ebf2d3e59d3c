#include "process.h"

#include "process_internal.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct LocalFreeDeleter {
    void operator()(void* p) const { LocalFree(p); }
};

// Converts to the active code page. Characters the code page cannot hold
// become its default character ('?'), so nothing past the NUL is lost and
// every string stays terminated.
char* toActiveCodePage(const wchar_t* wide)
{
    int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        size = 1;
    char* narrow = static_cast<char*>(std::calloc(static_cast<size_t>(size), 1));
    if (narrow == nullptr)
        return nullptr;
    if (WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, size, nullptr, nullptr) <= 0)
        narrow[0] = '\0';
    return narrow;
}

} // namespace

int narrowCommandLine(char*** result)
{
    int count = 0;
    std::unique_ptr<LPWSTR, LocalFreeDeleter> wide(CommandLineToArgvW(GetCommandLineW(), &count));
    if (!wide) {
        // Without a split command line the program still runs, as if started
        // with its name alone.
        count = 0;
    }
    char** narrow = static_cast<char**>(std::calloc(static_cast<size_t>(count) + 1, sizeof(char*)));
    if (narrow == nullptr) {
        *result = nullptr;
        return 0;
    }
    int converted = 0;
    for (; converted < count; ++converted) {
        char* arg = toActiveCodePage(wide.get()[converted]);
        if (arg == nullptr)
            break;
        narrow[converted] = arg;
    }
    *result = narrow;
    return converted;
}

std::string lastErrorText()
{
    DWORD code = GetLastError();
    if (code == 0)
        return {};
    LPSTR buffer = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                                      FORMAT_MESSAGE_FROM_SYSTEM,
                                  nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                  reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    std::unique_ptr<char, LocalFreeDeleter> owned(buffer);
    if (length == 0 || buffer == nullptr)
        return {};
    return std::string(buffer, length);
}

void openConsole()
{
    AllocConsole();
    FILE* reopened = std::freopen("CON", "w", stdout);
    (void)reopened;
}

void showErrorBox(const std::exception& e)
{
    MessageBoxA(nullptr, errorBoxText(e).c_str(), "Error", MB_ICONERROR);
}

void showInfoBox(const std::string& text)
{
    MessageBoxA(nullptr, text.c_str(), "Information", MB_ICONINFORMATION);
}

std::string moduleLocation(const char* fallbackName)
{
    char buffer[kModulePathBufferSize] = {};
    DWORD length = GetModuleFileNameA(nullptr, buffer, kModulePathBufferSize);
    if (length != 0 && length != kModulePathBufferSize)
        return std::string(buffer, length);
    return canonicalFallbackLocation(fallbackName);
}

std::optional<std::string> applicationDataFolder()
{
    char buffer[MAX_PATH + 1] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer)) ||
        buffer[0] == '\0')
        return std::nullopt;
    return std::string(buffer);
}
