// The launcher's entry point on Linux.
#include "launcher_main.h"
#include "process.h"

int main(int argc, char** argv)
{
    return launcherMain(narrowCommandLine(argc, argv));
}
