// The process helpers on Windows: the wide command line and paths narrowed,
// message boxes, the console.
#include "process.h"

#include "os_handles.h"
#include "process_internal.h"
#include "wide_text_win32.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>

namespace {

// The longest path the wide file functions give.
constexpr DWORD kLongestWidePath = 32768;

bool hasStandardHandle(FILE* stream)
{
    const int descriptor = _fileno(stream);
    return descriptor >= 0 && _get_osfhandle(descriptor) >= 0;
}

} // namespace

std::vector<std::string> narrowCommandLine(int, char**)
{
    int count = 0;
    LPWSTR* const split = CommandLineToArgvW(GetCommandLineW(), &count);
    const LocalMemory owned(split);
    std::vector<std::string> arguments;
    // Without a split command line the program still runs, as if started
    // with its name alone.
    if (split == nullptr)
        return arguments;
    arguments.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        arguments.push_back(narrowFromWide(split[i]));
    return arguments;
}

unsigned long processId()
{
    return GetCurrentProcessId();
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
    const LocalMemory owned(buffer);
    if (length == 0 || buffer == nullptr)
        return {};
    return std::string(buffer, length);
}

void openConsole()
{
    if (AllocConsole()) {
        // The console reads the programs' narrow text in their code page.
        SetConsoleOutputCP(GetACP());
    }
    FILE* reopened = std::freopen("CON", "w", stdout);
    (void)reopened;
    // Started without standard handles (from Explorer or a shortcut), the
    // error stream has nowhere else to go.
    if (!hasStandardHandle(stderr)) {
        reopened = std::freopen("CON", "w", stderr);
        (void)reopened;
    }
    // Writes made before the console existed failed and left the C++ streams
    // failed too: every later line would be dropped.
    std::cout.clear();
    std::cerr.clear();
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
    // Read wide and narrowed without best fit: a folder "apł" must never be
    // read as its neighbour "apl".
    std::wstring buffer(kLongestWidePath, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, &buffer[0], kLongestWidePath);
    if (length != 0 && length < kLongestWidePath) {
        bool exact = false;
        std::string narrow = narrowFromWide(std::wstring_view(buffer.data(), length), &exact);
        // A path that would not fit the narrow buffer counts as cut off.
        if (exact && narrow.size() < kModulePathBufferSize)
            return narrow;
    }
    return canonicalFallbackLocation(fallbackName);
}

std::optional<std::string> applicationDataFolder()
{
    wchar_t buffer[MAX_PATH + 1] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer)) || buffer[0] == L'\0')
        return std::nullopt;
    bool exact = false;
    std::string folder = narrowFromWide(buffer, &exact);
    if (!exact)
        return std::nullopt;
    return folder;
}
