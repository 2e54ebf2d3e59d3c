#include "splash_window.h"

void draw_splash_text(std::int32_t x, std::int32_t y, const std::string& text)
{
    draw_splash_drawings({splash_field(x, y, text)});
}

void draw_splash_progress(std::int32_t bar_left, std::int32_t bar_top, std::int32_t bar_width,
                          std::int32_t bar_height, std::int32_t percent, std::int32_t text_x, std::int32_t text_y,
                          const std::string& text, bool commit)
{
    draw_splash_drawings(
        {splash_progress(bar_left, bar_top, bar_width, bar_height, percent, text_x, text_y, text, commit)});
}
