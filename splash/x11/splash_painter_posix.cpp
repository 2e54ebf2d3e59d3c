// Painting onto a frame on X: texts with Xft, in the one font the splash
// opens for all of them, and bars with the core protocol.
#include "splash_backend.h"

#include "splash_connection_posix.h"
#include "splash_output.h"
#include "splash_text.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <string>

using namespace splash_x11;

namespace {

// Windows COLORREF 0xDCA048.
constexpr unsigned kBarRed = 0x48, kBarGreen = 0xA0, kBarBlue = 0xDC;

// The font of every text, opened by the first one and kept with the
// connection: libXft, fontconfig's configuration and the face are loaded
// only then. None when Xft cannot be loaded (said once) or the face cannot
// be opened: texts are then left out.
XftFont* text_font(x_display& x)
{
    if (!x.font_tried) {
        x.font_tried = true;
        const xft_functions& fonts = xft();
        static bool failure_written = false;
        if (!fonts.failure.empty()) {
            if (!failure_written)
                splash_line(fonts.failure);
            failure_written = true;
            return nullptr;
        }
        Display* display = x.display();
        // Liberation Sans has Arial's metrics; 11 pixels is Arial's height -11.
        x.font.reset({display, fonts.XftFontOpen(display, x.screen, XFT_FAMILY, XftTypeString, "Liberation Sans",
                                                 XFT_PIXEL_SIZE, XftTypeDouble, 11.0, nullptr)});
    }
    return x.font.get().font;
}

// X coordinates travel as 16-bit values: a text whose origin lies beyond
// them could only be drawn somewhere it does not belong.
bool in_protocol_range(std::int64_t value)
{
    return value >= std::numeric_limits<std::int16_t>::min() && value <= std::numeric_limits<std::int16_t>::max();
}

} // namespace

// One Xft drawable and one colour for however many texts go onto a frame,
// made by its first text.
struct splash_painter::parts {
    parts(x_display& x, Pixmap target) : x(x), target(target) {}
    ~parts()
    {
        if (has_colour)
            xft().XftColorFree(x.display(), x.visual, x.colormap.get().id, &colour);
    }
    parts(const parts&) = delete;
    parts& operator=(const parts&) = delete;

    x_display& x;
    Pixmap target;
    bool text_tried = false;
    xft_draw draw;
    XftColor colour{};
    bool has_colour = false;
};

splash_painter::splash_painter(splash_pixmap* frame, splash_size)
    : parts_(std::make_unique<parts>(*backend().x, frame->id()))
{
}

splash_painter::~splash_painter() = default;

void splash_painter::text(std::int32_t left, std::int32_t top, const std::u16string& characters)
{
    x_display& x = parts_->x;
    XftFont* font = text_font(x);
    if (font == nullptr || !in_protocol_range(left) || !in_protocol_range(std::int64_t{top} + font->ascent))
        return;
    const xft_functions& fonts = xft();
    if (!parts_->text_tried) {
        parts_->text_tried = true;
        parts_->draw.reset(fonts.XftDrawCreate(x.display(), parts_->target, x.visual, x.colormap.get().id));
        const XRenderColor black{0, 0, 0, 0xFFFF};
        parts_->has_colour = parts_->draw && fonts.XftColorAllocValue(x.display(), x.visual, x.colormap.get().id,
                                                                      &black, &parts_->colour);
    }
    if (!parts_->has_colour)
        return;
    const std::string utf8 = utf8_from_utf16(characters);
    // Xft places text by its baseline; GDI by the top of the character cell.
    fonts.XftDrawStringUtf8(parts_->draw.get(), &parts_->colour, font, left, top + font->ascent,
                            reinterpret_cast<const FcChar8*>(utf8.data()), static_cast<int>(utf8.size()));
}

void splash_painter::bar(const splash_rect& bar)
{
    const xlib_functions& x11 = xlib();
    const x_display& x = parts_->x;
    GC gc = x.gc.get().gc;
    x11.XSetForeground(x.display(), gc, x.pixel(kBarRed, kBarGreen, kBarBlue));
    x11.XFillRectangle(x.display(), parts_->target, gc, bar.left, bar.top, static_cast<unsigned>(bar.right - bar.left),
                       static_cast<unsigned>(bar.bottom - bar.top));
}
