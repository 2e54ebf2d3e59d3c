#include "reference_text.h"

#include "x_test_display_posix.h"

#include <X11/Xft/Xft.h>
#include <X11/Xutil.h>

#include <stdexcept>

namespace splash_test {

namespace {

std::string utf8(const std::u16string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

unsigned long place(unsigned value, unsigned long mask)
{
    unsigned shift = 0;
    while (mask != 0 && (mask >> shift & 1) == 0)
        ++shift;
    return ((static_cast<unsigned long>(value) * (mask >> shift) + 127) / 255) << shift & mask;
}

unsigned take(unsigned long pixel, unsigned long mask)
{
    unsigned shift = 0;
    while (mask != 0 && (mask >> shift & 1) == 0)
        ++shift;
    const unsigned long top = mask >> shift;
    return top == 0 ? 0 : static_cast<unsigned>(((pixel & mask) >> shift) * 255 / top);
}

// A 24-bit pixmap, as the splash paints on, with the picture in it.
template <class Draw>
void draw_on(image& picture, Draw draw)
{
    Display* display = test_display();
    const int screen = DefaultScreen(display);
    XVisualInfo info{};
    if (!XMatchVisualInfo(display, screen, 24, TrueColor, &info))
        throw std::runtime_error("no 24-bit TrueColor visual");
    const unsigned width = static_cast<unsigned>(picture.width());
    const unsigned height = static_cast<unsigned>(picture.height());
    Colormap colormap = XCreateColormap(display, DefaultRootWindow(display), info.visual, AllocNone);
    Pixmap pixmap = XCreatePixmap(display, DefaultRootWindow(display), width, height, 24);
    GC gc = XCreateGC(display, pixmap, 0, nullptr);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const std::uint32_t rgb = picture.at(x, y);
            XSetForeground(display, gc,
                           place(rgb >> 16 & 0xFF, info.red_mask) | place(rgb >> 8 & 0xFF, info.green_mask) |
                               place(rgb & 0xFF, info.blue_mask));
            XDrawPoint(display, pixmap, gc, x, y);
        }
    XftFont* font = XftFontOpen(display, screen, XFT_FAMILY, XftTypeString, "Liberation Sans", XFT_PIXEL_SIZE,
                                XftTypeDouble, 11.0, nullptr);
    XftDraw* drawing = XftDrawCreate(display, pixmap, info.visual, colormap);
    const XRenderColor black{0, 0, 0, 0xFFFF};
    XftColor colour;
    XftColorAllocValue(display, info.visual, colormap, &black, &colour);
    draw(drawing, &colour, font);
    XImage* result = XGetImage(display, pixmap, 0, 0, width, height, AllPlanes, ZPixmap);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const unsigned long pixel = XGetPixel(result, x, y);
            picture.set(x, y,
                        take(pixel, info.red_mask) << 16 | take(pixel, info.green_mask) << 8 |
                            take(pixel, info.blue_mask));
        }
    XDestroyImage(result);
    XftColorFree(display, info.visual, colormap, &colour);
    XftDrawDestroy(drawing);
    XftFontClose(display, font);
    XFreeGC(display, gc);
    XFreePixmap(display, pixmap);
    XFreeColormap(display, colormap);
}

} // namespace

void draw_reference_text(image& picture, int x, int y, const std::u16string& text)
{
    const std::string characters = utf8(text);
    draw_on(picture, [&](XftDraw* drawing, XftColor* colour, XftFont* font) {
        XftDrawStringUtf8(drawing, colour, font, x, y + font->ascent,
                          reinterpret_cast<const FcChar8*>(characters.data()), static_cast<int>(characters.size()));
    });
}

int reference_text_width(const std::u16string& text)
{
    const std::string characters = utf8(text);
    image scratch(1, 1);
    int width = 0;
    draw_on(scratch, [&](XftDraw*, XftColor*, XftFont* font) {
        XGlyphInfo extents{};
        XftTextExtentsUtf8(test_display(), font, reinterpret_cast<const FcChar8*>(characters.data()),
                           static_cast<int>(characters.size()), &extents);
        width = extents.xOff;
    });
    return width;
}

void draw_reference_bytes(image& picture, int x, int y, const std::string& bytes)
{
    draw_on(picture, [&](XftDraw* drawing, XftColor* colour, XftFont* font) {
        XftDrawString8(drawing, colour, font, x, y + font->ascent, reinterpret_cast<const FcChar8*>(bytes.data()),
                       static_cast<int>(bytes.size()));
    });
}

} // namespace splash_test
