#include "elevation.h"

bool processIsElevated()
{
    return false;
}
