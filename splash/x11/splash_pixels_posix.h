// The Linux form of a loaded splash picture: what a top-down 32-bit DIB
// section holds on Windows, kept in memory until the window uploads it.
#pragma once

#include "splash_bitmap.h"

#include <cstdint>
#include <cstring>
#include <vector>

struct splash_pixels {
    std::int32_t width = 0;
    std::int32_t height = 0;
    // Row after row from the top; each pixel 0xAARRGGBB with its colour
    // premultiplied by its alpha.
    std::vector<std::uint32_t> argb;
};

// The pixels are kept as the host's 32-bit words, whatever order it stores
// their bytes in.
inline bool host_is_little_endian()
{
    const std::uint32_t one = 1;
    unsigned char first = 0;
    std::memcpy(&first, &one, 1);
    return first == 1;
}
