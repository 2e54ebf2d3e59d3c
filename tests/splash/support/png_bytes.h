// PNG files made in memory for the size checks: a picture of one colour at
// any size, and a header that declares a size with no pixels behind it.
#pragma once

#include "splash_image.h"

#include <cstdint>

namespace splash_test {

// A complete picture, every pixel 0xRRGGBB. Written as 1-bit palette rows
// in stored deflate blocks, so that a large one stays small in memory (a
// 4096 x 4096 picture takes 2 MiB) and needs no compressor.
splash_bytes plain_png(std::uint32_t width, std::uint32_t height, std::uint32_t rgb);

// An 8-bit RGBA header of that size and an image stream that ends at once,
// as a hostile file would be: a few dozen bytes.
splash_bytes png_without_pixels(std::uint32_t width, std::uint32_t height);

} // namespace splash_test
