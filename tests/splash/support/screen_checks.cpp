#include "screen_checks.h"

#include "bitmap_view.h"
#include "pictures.h"
#include "reference_text.h"
#include "splash_test_paths.h"

#include <gtest/gtest.h>

#include <sstream>

namespace splash_test {

rect centred(int width, int height)
{
    const rect screen = screen_area();
    return {(screen.width - width) / 2, (screen.height - height) / 2, width, height};
}

image with_text(image picture, int x, int y, const std::u16string& text)
{
    const image before = picture;
    draw_reference_text(picture, x, y, text);
    EXPECT_NE(picture.pixels(), before.pixels()) << "the reference text leaves no ink";
    return picture;
}

image with_bar(image picture, const rect& bar)
{
    picture.fill(bar, kBarColourRgb);
    return picture;
}

image shown(const splash_bitmap& bitmap)
{
    const bitmap_view view = view_of(bitmap);
    image picture(view.width, view.height);
    for (std::size_t i = 0; i < picture.pixels().size() && i < view.argb.size(); ++i)
        picture.pixels()[i] = view.argb[i] & 0xFFFFFF;
    return picture;
}

std::string wait_for_window(const image& expected, const std::string& name, std::chrono::milliseconds limit)
{
    const rect wanted = centred(expected.width(), expected.height());
    image seen;
    std::string why;
    const bool ok = eventually(
        [&] {
            const std::vector<rect> windows = visible_splash_windows();
            if (windows.size() != 1) {
                why = std::to_string(windows.size()) + " splash windows visible";
                return false;
            }
            if (!(windows.front() == wanted)) {
                std::ostringstream text;
                text << "the window is " << windows.front() << ", expected " << wanted;
                why = text.str();
                return false;
            }
            seen = capture(wanted);
            why = difference(seen, expected);
            return why.empty();
        },
        limit);
    if (seen.width() > 0)
        seen.save_bmp(screenshot(name));
    else
        capture(screen_area()).save_bmp(screenshot(name));
    if (!ok)
        expected.save_bmp(screenshot(name + "-expected"));
    return ok ? std::string() : name + ": " + why;
}

bool no_window_for(std::chrono::milliseconds time)
{
    return !eventually([] { return !visible_splash_windows().empty(); }, time);
}

std::string test_name()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(info->test_suite_name()) + "." + info->name();
}

} // namespace splash_test
