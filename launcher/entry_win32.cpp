#include "launcher_main.h"
#include "process.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char** argv = nullptr;
    int argc = narrowCommandLine(&argv);
    int result = launcherMain(argc, argv);
    freeNarrowCommandLine(argc, argv);
    return result;
}
