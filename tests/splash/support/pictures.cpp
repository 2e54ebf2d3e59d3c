#include "pictures.h"

namespace splash_test {

image frame_picture()
{
    image picture(kFrameWidth, kFrameHeight, kFrameEdge);
    picture.fill({1, 1, kFrameWidth - 2, kFrameHeight - 2}, kFrameInside);
    picture.fill({1, 1, 4, 4}, kFrameTopLeftMark);
    picture.fill({kFrameWidth - 5, kFrameHeight - 5, 4, 4}, kFrameBottomRightMark);
    return picture;
}

std::uint32_t alpha_picture_pixel(int x, int)
{
    if (x < 40)
        return 0;
    const unsigned alpha = x < 80 ? kAlphaHalf : 0xFF;
    return alpha << 24 | premultiply(kAlphaColour >> 16 & 0xFF, alpha) << 16 |
           premultiply(kAlphaColour >> 8 & 0xFF, alpha) << 8 | premultiply(kAlphaColour & 0xFF, alpha);
}

} // namespace splash_test
