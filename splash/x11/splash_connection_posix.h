// The X back end's connection to its display, and the state that its files
// share: all of it the splash thread's alone.
#pragma once

#include "splash_x11_handles_posix.h"

#include <memory>

// A frame: a pixmap of the display it was made on.
struct splash_pixmap {
    x_pixmap pixmap;
    unsigned display_serial = 0;

    Pixmap id() const { return pixmap.get().id; }
};

namespace splash_x11 {

constexpr int kDepth = 24;

// A channel of the visual's pixel layout.
struct channel {
    unsigned shift = 0;
    unsigned long mask = 0;

    explicit channel(unsigned long visual_mask = 0) : mask(visual_mask)
    {
        while (mask != 0 && (mask >> shift & 1) == 0)
            ++shift;
    }
    unsigned long place(unsigned value) const
    {
        const unsigned long top = mask >> shift;
        return ((static_cast<unsigned long>(value) * top + 127) / 255) << shift & mask;
    }
};

// The connection of the splash thread(s), opened by the first show that
// finds a display and kept for the process, unless the display is lost.
// Members are destroyed in reverse order: the display is closed last.
struct x_display {
    x_connection connection;
    unsigned serial = 0;
    int screen = 0;
    Visual* visual = nullptr;
    x_colormap colormap;
    channel red, green, blue;
    // Made with the window, for every frame and bar.
    x_gc gc;
    // Opened by the first text, with libXft: after the picture is shown.
    bool font_tried = false;
    xft_font font;

    Display* display() const { return connection.get(); }
    unsigned long pixel(unsigned r, unsigned g, unsigned b) const
    {
        return red.place(r) | green.place(g) | blue.place(b);
    }
    // The picture's 0xAARRGGBB pixels need no conversion.
    bool takes_argb() const { return red.mask == 0xFF0000 && green.mask == 0xFF00 && blue.mask == 0xFF; }
};

// The back end's state, for the life of the process.
struct backend_state {
    std::unique_ptr<x_display> x;
    x_window window;
    unsigned last_serial = 0;
};

backend_state& backend();

// A new connection with the given serial, and its colormap; none when there
// is no display or it has no 24-bit true-colour visual.
std::unique_ptr<x_display> open_display(unsigned serial);

} // namespace splash_x11
