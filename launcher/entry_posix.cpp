#include "launcher_main.h"
#include "process.h"

int main(int argc, char** argv)
{
    return launcherMain(narrowCommandLine(argc, argv));
}
