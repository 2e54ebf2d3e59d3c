#include "screen.h"

#include "x_test_display_posix.h"
#include "x_windows_posix.h"

#include <X11/Xutil.h>

#include <memory>
#include <string>
#include <stdexcept>

namespace splash_test {

Display* test_display()
{
    static Display* const display = [] {
        x_windows::tolerate_vanishing_windows();
        return XOpenDisplay(nullptr);
    }();
    if (display == nullptr)
        throw std::runtime_error("cannot open the X display");
    return display;
}

rect screen_area()
{
    Display* display = test_display();
    const int screen = DefaultScreen(display);
    return {0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
}

namespace {

unsigned component(unsigned long pixel, unsigned long mask)
{
    unsigned shift = 0;
    while (mask != 0 && (mask >> shift & 1) == 0)
        ++shift;
    const unsigned long top = mask >> shift;
    return top == 0 ? 0 : static_cast<unsigned>(((pixel & mask) >> shift) * 255 / top);
}

struct image_destroy {
    void operator()(XImage* image) const { XDestroyImage(image); }
};

} // namespace

image capture(const rect& area)
{
    Display* display = test_display();
    XSync(display, False);
    std::unique_ptr<XImage, image_destroy> shot(XGetImage(display, DefaultRootWindow(display), area.left, area.top,
                                                          static_cast<unsigned>(area.width),
                                                          static_cast<unsigned>(area.height), AllPlanes, ZPixmap));
    if (!shot)
        throw std::runtime_error("cannot read the screen");
    image pixels(area.width, area.height);
    for (int y = 0; y < area.height; ++y)
        for (int x = 0; x < area.width; ++x) {
            const unsigned long pixel = XGetPixel(shot.get(), x, y);
            pixels.set(x, y,
                       component(pixel, shot->red_mask) << 16 | component(pixel, shot->green_mask) << 8 |
                           component(pixel, shot->blue_mask));
        }
    return pixels;
}

std::vector<x_splash_window> visible_x_splash_windows()
{
    Display* display = test_display();
    XSync(display, False);
    std::vector<x_splash_window> found;
    for (const x_windows::top_level& window : x_windows::viewable_top_levels(display))
        if (window.name == "Tarnwick.IO")
            found.push_back({window.id,
                             {window.attributes.x, window.attributes.y, window.attributes.width,
                              window.attributes.height}});
    return found;
}

std::vector<rect> visible_splash_windows()
{
    std::vector<rect> found;
    for (const x_splash_window& window : visible_x_splash_windows())
        found.push_back(window.area);
    return found;
}

} // namespace splash_test
