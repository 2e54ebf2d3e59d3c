// The Linux form of a loaded splash picture: what a top-down 32-bit DIB
// section holds on Windows, kept in memory until the window uploads it.
#pragma once

#include "splash_bitmap.h"

#include <cstdint>
#include <vector>

struct splash_pixels {
    std::int32_t width = 0;
    std::int32_t height = 0;
    // Row after row from the top; each pixel 0xAARRGGBB with its colour
    // premultiplied by its alpha.
    std::vector<std::uint32_t> argb;
};
