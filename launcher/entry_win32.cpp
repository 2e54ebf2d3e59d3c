// The launcher's entry point on Windows: a GUI program, so WinMain.
#include "launcher_main.h"
#include "process.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return launcherMain(narrowCommandLine(0, nullptr));
}
