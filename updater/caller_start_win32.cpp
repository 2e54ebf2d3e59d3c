// The caller started again on Windows: through the desktop shell when the
// updater runs elevated, so the caller runs as the signed-in user.
#include "caller_start.h"

#include "com_ref_win32.h"
#include "elevation.h"
#include "wide_text_win32.h"

#include <windows.h>
#include <exdisp.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

namespace {

class ComApartment {
public:
    ComApartment() : ready_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment()
    {
        if (ready_)
            CoUninitialize();
    }

private:
    bool ready_;
};

// The desktop shell's own automation object: what it starts runs in the
// shell's process, with the signed-in user's token, integrity and session.
// Nothing when no shell shows a desktop.
bool desktopShell(ComRef<IShellDispatch2>& shell, HWND& desktopWindow)
{
    ComRef<IShellWindows> windows;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                windows.outVoid())))
        return false;
    VARIANT location;
    VariantInit(&location);
    location.vt = VT_I4;
    location.lVal = CSIDL_DESKTOP;
    VARIANT root;
    VariantInit(&root);
    long window = 0;
    ComRef<IDispatch> desktop;
    // S_FALSE: no window shows the desktop.
    if (windows->FindWindowSW(&location, &root, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, desktop.out()) != S_OK ||
        !desktop)
        return false;
    ComRef<IServiceProvider> services;
    ComRef<IShellBrowser> browser;
    ComRef<IShellView> view;
    ComRef<IDispatch> background;
    ComRef<IShellFolderViewDual> folderView;
    ComRef<IDispatch> application;
    if (FAILED(desktop->QueryInterface(IID_IServiceProvider, services.outVoid())) ||
        FAILED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.outVoid())) ||
        FAILED(browser->QueryActiveShellView(view.out())) || !view ||
        FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.outVoid())) ||
        FAILED(background->QueryInterface(IID_IShellFolderViewDual, folderView.outVoid())) ||
        FAILED(folderView->get_Application(application.out())) || !application ||
        FAILED(application->QueryInterface(IID_IShellDispatch2, shell.outVoid())))
        return false;
    desktopWindow = reinterpret_cast<HWND>(static_cast<LONG_PTR>(window));
    return true;
}

std::wstring currentFolder()
{
    const DWORD length = GetCurrentDirectoryW(0, nullptr);
    if (length == 0)
        return std::wstring();
    std::wstring folder(length, L'\0');
    folder.resize(GetCurrentDirectoryW(length, &folder[0]));
    return folder;
}

ShellStart startThroughDesktopShell(const ShellCommand& command)
{
    const std::wstring program = wideFromNarrow(command.program);
    // The shell would tell the user in a dialog of its own.
    if (GetFileAttributesW(program.c_str()) == INVALID_FILE_ATTRIBUTES)
        return ShellStart::Failed;
    ComApartment apartment;
    ComRef<IShellDispatch2> shell;
    HWND desktopWindow = nullptr;
    if (!desktopShell(shell, desktopWindow))
        return ShellStart::NoShell;

    // The shell starts the program, so the program's window may come to the
    // front only with the shell's leave, which this process can give.
    DWORD shellProcess = 0;
    if (desktopWindow != nullptr && GetWindowThreadProcessId(desktopWindow, &shellProcess) != 0)
        AllowSetForegroundWindow(shellProcess);

    const Bstr file = bstrFrom(program);
    const TextVariant parameters(wideFromNarrow(commandLineText(command.arguments)));
    // The caller keeps the folder it would have inherited from the updater.
    const TextVariant folder(currentFolder());
    const TextVariant verb{std::wstring()};
    VARIANT show;
    VariantInit(&show);
    show.vt = VT_I4;
    show.lVal = SW_SHOWNORMAL;
    // S_FALSE: the shell could not start it.
    return shell->ShellExecute(file.get(), parameters.get(), folder.get(), verb.get(), show) == S_OK
               ? ShellStart::Started
               : ShellStart::Failed;
}

} // namespace

bool startCaller(const ShellCommand& command)
{
    return startCallerAs(command, processIsElevated(), startThroughDesktopShell);
}
