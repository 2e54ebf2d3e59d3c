// The tests' own connection to the X server of $DISPLAY.
#pragma once

#include "image.h"

#include <X11/Xlib.h>

#include <vector>

namespace splash_test {

Display* test_display();

struct x_splash_window {
    Window id;
    rect area;
};
std::vector<x_splash_window> visible_x_splash_windows();

} // namespace splash_test
