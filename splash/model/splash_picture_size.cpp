// The size limit for splash pictures, and the line that refuses one.
#include "splash_picture_size.h"

bool splash_size_allowed(std::uint32_t width, std::uint32_t height)
{
    return width <= kSplashMostSide && height <= kSplashMostSide &&
           std::uint64_t{width} * height <= kSplashMostPixels;
}

std::string splash_size_refusal(std::uint32_t width, std::uint32_t height)
{
    return "The bitmap is too large: " + std::to_string(width) + " x " + std::to_string(height) +
           " pixels (at most " + std::to_string(kSplashMostSide) + " per side and " +
           std::to_string(kSplashMostPixels) + " in all)";
}
