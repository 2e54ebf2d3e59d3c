#include "process.h"
#include "updater_main.h"

int main()
{
    char** argv = nullptr;
    int argc = narrowCommandLine(&argv);
    int result = updaterMain(argc, argv);
    freeNarrowCommandLine(argc, argv);
    return result;
}
