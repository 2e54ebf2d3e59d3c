#include "launcher_main.h"
#include "process.h"

int main()
{
    char** argv = nullptr;
    int argc = narrowCommandLine(&argv);
    int result = launcherMain(argc, argv);
    freeNarrowCommandLine(argc, argv);
    return result;
}
