// The test pictures of tests/splash/pictures, known pixel by pixel from the
// way make-pictures.sh draws them.
#pragma once

#include "image.h"

#include <cstdint>

namespace splash_test {

// frame.png: 500x300, opaque.
constexpr int kFrameWidth = 500;
constexpr int kFrameHeight = 300;
constexpr std::uint32_t kFrameInside = 0xF4EEE0;
constexpr std::uint32_t kFrameEdge = 0x204080;
constexpr std::uint32_t kFrameTopLeftMark = 0xC01010;     // 4x4 at (1, 1)
constexpr std::uint32_t kFrameBottomRightMark = 0x10A030; // 4x4 at (495, 295)
image frame_picture();

// alpha.png: 120x80 in three columns of 40: fully transparent, #306090 at
// alpha 0x80, #306090 opaque.
constexpr int kAlphaWidth = 120;
constexpr int kAlphaHeight = 80;
constexpr std::uint32_t kAlphaColour = 0x306090;
constexpr std::uint32_t kAlphaHalf = 0x80;
// The colour channel c premultiplied by alpha a, as 8-bit values (the
// decoders may round either way: compare with a tolerance of one).
constexpr unsigned premultiply(unsigned c, unsigned a)
{
    return (c * a + 127) / 255;
}
// 0xAARRGGBB, premultiplied.
std::uint32_t alpha_picture_pixel(int x, int y);

// The bar colour of every progress drawing: COLORREF 0xDCA048.
constexpr std::uint32_t kBarColourRgb = 0x48A0DC;

} // namespace splash_test
