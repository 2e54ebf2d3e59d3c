#include "drawing_resources.h"

#include "x_test_display_posix.h"

extern "C" long x_client_resource_count(Display* display, unsigned long any_resource_of_client);

namespace splash_test {

bool drawing_resources::find_owner()
{
    const std::vector<x_splash_window> windows = visible_x_splash_windows();
    if (windows.size() != 1)
        return false;
    owner = windows.front().id;
    return true;
}

long drawing_resources::count() const
{
    if (owner == 0)
        return -1;
    return x_client_resource_count(test_display(), owner);
}

} // namespace splash_test
