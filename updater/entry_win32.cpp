// The updater's entry point on Windows: a GUI program, so WinMain.
#include "updater_main.h"
#include "process.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return updaterMain(narrowCommandLine(0, nullptr));
}
