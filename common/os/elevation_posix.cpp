// Linux programs are never started elevated by the launcher or the updater.
#include "elevation.h"

bool processIsElevated()
{
    return false;
}
