// A progress bar's filled share in the picture's pixels, worked out in the
// 32-bit arithmetic that the callers' numbers come in, and cut to the picture.
#include "splash_geometry.h"

#include <algorithm>
#include <utility>

namespace {

// Two's complement wrap-around, as 32-bit machine arithmetic gives it,
// without the undefined behaviour of a signed overflow.
std::int32_t wrap(std::int64_t value)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

} // namespace

splash_rect splash_bar_rect(std::int32_t bar_left, std::int32_t bar_top, std::int32_t bar_width,
                            std::int32_t bar_height, std::int32_t percent)
{
    const std::int32_t product = wrap(std::int64_t{bar_width} * percent);
    splash_rect rect{bar_left, bar_top, wrap(std::int64_t{bar_left} + product / 100),
                     wrap(std::int64_t{bar_top} + bar_height)};
    if (rect.right < rect.left)
        std::swap(rect.left, rect.right);
    if (rect.bottom < rect.top)
        std::swap(rect.top, rect.bottom);
    return rect;
}

splash_rect splash_rect_within(const splash_rect& rect, std::int32_t width, std::int32_t height)
{
    return {std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, width), std::min(rect.bottom, height)};
}
