#include "process.h"
#include "updater_main.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char** argv = nullptr;
    int argc = narrowCommandLine(&argv);
    int result = updaterMain(argc, argv);
    freeNarrowCommandLine(argc, argv);
    return result;
}
