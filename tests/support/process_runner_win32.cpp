#include "process_runner.h"

#include "shell_start.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <stdexcept>

const int kFailureExit = 574;

namespace {

struct HandleCloser {
    void operator()(HANDLE h) const
    {
        if (h != nullptr && h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

std::wstring fromUtf8(const std::string& text)
{
    if (text.empty())
        return {};
    int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
    return wide;
}

// The test runs elevated (Wine gives every process the administrators'
// token); the token linked to it is the same user's without elevation.
UniqueHandle notElevatedToken()
{
    HANDLE own = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &own))
        throw std::runtime_error("cannot open the test's token");
    const UniqueHandle ownToken(own);
    TOKEN_LINKED_TOKEN linked{};
    DWORD size = 0;
    if (!GetTokenInformation(own, TokenLinkedToken, &linked, sizeof(linked), &size))
        throw std::runtime_error("the test's token has no token without elevation linked to it");
    const UniqueHandle linkedToken(linked.LinkedToken);
    HANDLE primary = nullptr;
    if (!DuplicateTokenEx(linked.LinkedToken, MAXIMUM_ALLOWED, nullptr, SecurityImpersonation, TokenPrimary,
                          &primary))
        throw std::runtime_error("cannot make a process token without elevation");
    return UniqueHandle(primary);
}

UniqueHandle inheritableFile(const std::wstring& path)
{
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot create capture file");
    return UniqueHandle(h);
}

// The C runtime writes text-mode line ends; tests compare lines as on Linux.
std::string readWhole(const std::wstring& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    std::string raw((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::string text;
    for (size_t i = 0; i < raw.size(); ++i)
        if (!(raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n'))
            text += raw[i];
    return text;
}

std::wstring environmentBlock(const RunOptions& options)
{
    std::wstring block;
    std::set<std::wstring> replaced;
    for (const auto& entry : options.environment)
        replaced.insert(fromUtf8(entry.first));
    LPWCH current = GetEnvironmentStringsW();
    for (LPWCH p = current; *p != L'\0'; p += wcslen(p) + 1) {
        std::wstring entry(p);
        size_t eq = entry.find(L'=', 1);
        if (eq != std::wstring::npos && replaced.count(entry.substr(0, eq)))
            continue;
        block += entry;
        block += L'\0';
    }
    FreeEnvironmentStringsW(current);
    for (const auto& entry : options.environment) {
        block += fromUtf8(entry.first + "=" + entry.second);
        block += L'\0';
    }
    block += L'\0';
    return block;
}

struct BoxWatch {
    DWORD processId;
    bool anyProcess;
    std::set<HWND>* handled;
    std::vector<MessageBoxSeen>* boxes;
};

BOOL CALLBACK collectStatic(HWND child, LPARAM param)
{
    char className[32] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") != 0)
        return TRUE;
    char text[4096] = {};
    GetWindowTextA(child, text, sizeof text);
    auto* collected = reinterpret_cast<std::string*>(param);
    if (text[0] != '\0') {
        if (!collected->empty())
            *collected += "\n";
        *collected += text;
    }
    return TRUE;
}

BOOL CALLBACK findBoxes(HWND window, LPARAM param)
{
    auto* watch = reinterpret_cast<BoxWatch*>(param);
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") != 0 || !IsWindowVisible(window) || watch->handled->count(window))
        return TRUE;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (!watch->anyProcess && owner != watch->processId)
        return TRUE;
    MessageBoxSeen box;
    char caption[512] = {};
    GetWindowTextA(window, caption, sizeof caption);
    box.caption = caption;
    EnumChildWindows(window, collectStatic, reinterpret_cast<LPARAM>(&box.text));
    watch->boxes->push_back(box);
    watch->handled->insert(window);
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}

} // namespace

RunResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                     const RunOptions& options)
{
    static int counter = 0;
    wchar_t tempDir[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, tempDir);
    const std::wstring stem = std::wstring(tempDir) + L"runner-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++counter);
    const std::wstring outPath = stem + L".out", errPath = stem + L".err";

    RunResult result;
    {
        UniqueHandle out = inheritableFile(outPath);
        UniqueHandle err = inheritableFile(errPath);

        std::vector<CommandLineToken> tokens{{program, true}};
        for (const std::string& argument : arguments)
            tokens.push_back({argument, true});
        std::wstring commandLine = fromUtf8(commandLineText(tokens));
        std::wstring environment = environmentBlock(options);
        std::wstring directory = fromUtf8(options.workingDirectory);

        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = nullptr;
        startup.hStdOutput = out.get();
        startup.hStdError = err.get();
        PROCESS_INFORMATION process{};
        const wchar_t* folder = directory.empty() ? nullptr : directory.c_str();
        const bool started =
            options.notElevated
                ? CreateProcessAsUserW(notElevatedToken().get(), nullptr, &commandLine[0], nullptr, nullptr, TRUE,
                                       CREATE_UNICODE_ENVIRONMENT, &environment[0], folder, &startup, &process)
                : CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                                 &environment[0], folder, &startup, &process);
        if (!started)
            throw std::runtime_error("cannot start " + program);
        UniqueHandle processHandle(process.hProcess);
        UniqueHandle threadHandle(process.hThread);

        std::set<HWND> handled;
        BoxWatch watch{process.dwProcessId, options.watchAllProcesses, &handled, &result.boxes};
        const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(options.timeoutMs);
        for (;;) {
            EnumWindows(findBoxes, reinterpret_cast<LPARAM>(&watch));
            if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0)
                break;
            if (GetTickCount64() > deadline) {
                result.timedOut = true;
                TerminateProcess(process.hProcess, 999);
                WaitForSingleObject(process.hProcess, 5000);
                break;
            }
        }
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        result.exitCode = static_cast<int>(code);
    }
    result.out = readWhole(outPath);
    result.err = readWhole(errPath);
    DeleteFileW(outPath.c_str());
    DeleteFileW(errPath.c_str());
    return result;
}

bool showedErrorBox(const RunResult& result, const std::string& text)
{
    for (const MessageBoxSeen& box : result.boxes)
        if (box.caption == "Error" && box.text == text)
            return true;
    return false;
}

bool showedInfoBox(const RunResult& result, const std::string& text)
{
    for (const MessageBoxSeen& box : result.boxes)
        if (box.caption == "Information" && box.text == text)
            return true;
    return false;
}
