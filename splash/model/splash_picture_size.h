// How large a splash picture may be. A splash picture is shown whole, on one
// screen, and each drawing copies it: one larger than any screen only costs
// memory and time (and X cannot address more than 32767 pixels a side).
// Both loaders read the size a PNG declares and refuse a larger picture
// before any of its pixels is decoded or allocated.
#pragma once

#include <cstdint>
#include <string>

// Either side, in pixels.
constexpr std::uint32_t kSplashMostSide = 8192;
// In all: 64 MiB of 32-bit pixels, a 4096 x 4096 picture.
constexpr std::uint64_t kSplashMostPixels = std::uint64_t{4096} * 4096;

bool splash_size_allowed(std::uint32_t width, std::uint32_t height);

// The one line that refuses a picture of that size (standard error).
std::string splash_size_refusal(std::uint32_t width, std::uint32_t height);
