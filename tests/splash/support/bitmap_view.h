// What a loaded splash picture holds, read back for the tests.
#pragma once

#include "splash_bitmap.h"

#include <cstdint>
#include <vector>

namespace splash_test {

struct bitmap_view {
    int width = 0;
    int height = 0;
    int bits_per_pixel = 0;
    bool top_down = false;
    std::vector<std::uint32_t> argb; // row after row from the top

    std::uint32_t at(int x, int y) const { return argb[static_cast<std::size_t>(y) * width + x]; }
};

bitmap_view view_of(const splash_bitmap& bitmap);

} // namespace splash_test
