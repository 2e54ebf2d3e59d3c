// The updater's entry point on Linux.
#include "updater_main.h"
#include "process.h"

int main(int argc, char** argv)
{
    return updaterMain(narrowCommandLine(argc, argv));
}
