// Where a progress drawing puts its bar, in pixels of the picture.
#pragma once

#include <cstdint>

// Where a progress drawing goes, in pixels of the picture: the bar (its
// width when full, and how many percent of it are filled) and the top-left
// corner of its caption.
struct splash_progress_layout {
    std::int32_t bar_left;
    std::int32_t bar_top;
    std::int32_t bar_width;
    std::int32_t bar_height;
    std::int32_t percent;
    std::int32_t text_x;
    std::int32_t text_y;
};

struct splash_rect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;  // exclusive
    std::int32_t bottom; // exclusive
};

// The filled share of the bar: bar_width * percent / 100 pixels from
// bar_left, in 32-bit arithmetic truncated toward zero and never clamped
// (above 100 it runs past the bar's width). The result is normalised: a
// negative share fills leftwards from bar_left, and an empty share gives an
// empty rectangle.
splash_rect splash_bar_rect(std::int32_t bar_left, std::int32_t bar_top, std::int32_t bar_width,
                            std::int32_t bar_height, std::int32_t percent);

inline bool splash_rect_empty(const splash_rect& rect)
{
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

// The part of rect within a picture of that size; empty when none is.
splash_rect splash_rect_within(const splash_rect& rect, std::int32_t width, std::int32_t height);
