// Starting a program on Windows: through the shell, which can ask for elevation.
#include "shell_start.h"

#include "os_handles.h"

#include <windows.h>
#include <shellapi.h>

bool shellStart(const ShellCommand& command)
{
    const std::string file = command.quoteProgram ? "\"" + command.program + "\"" : command.program;
    const std::string parameters = commandLineText(command.arguments);

    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof(info);
    // A failed start is reported by the caller's own rules, never by a shell
    // dialog the user did not ask for.
    info.fMask = SEE_MASK_FLAG_NO_UI | (command.keepProcessHandle ? SEE_MASK_NOCLOSEPROCESS : 0);
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info))
        return false;
    // Nothing waits for the started program.
    const KernelHandle process(info.hProcess);
    return true;
}
