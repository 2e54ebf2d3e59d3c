// The screen as a user sees it: the splash windows on it and their pixels.
#pragma once

#include "image.h"

#include <vector>

namespace splash_test {

rect screen_area();

// Whatever is on the screen in that area, from any process.
image capture(const rect& area);

// Every visible splash window (named "Tarnwick.IO"), from any process.
std::vector<rect> visible_splash_windows();

} // namespace splash_test
