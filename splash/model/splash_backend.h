// The platform's part of the splash window: it makes the window, frames,
// texts and bars, and nothing else. What is drawn, onto which frame, and
// when the window is given it is decided once, in splash_window.cpp. Every
// function here runs on the splash thread.
#pragma once

#include "splash_bitmap.h"
#include "splash_geometry.h"
#include "unique_handle.h"

#include <cstdint>
#include <memory>
#include <string>

// A picture the window can show: a GDI bitmap on Windows, a server-side
// pixmap on X.
#ifdef _WIN32
using splash_frame_handle = HBITMAP__*;
#else
struct splash_pixmap;
using splash_frame_handle = splash_pixmap*;
#endif

// Given back by the back end: on X without a request when its display is gone.
struct splash_frame_traits {
    using handle_type = splash_frame_handle;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type frame) noexcept;
};
using splash_frame = unique_handle<splash_frame_traits>;

struct splash_size {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// Any thread: loads now what a show needs (Linux: the libraries, the
// picture's first), for a thread that would otherwise only wait for it.
void splash_backend_preload();

// Makes sure a window exists, connecting to the window system first when
// needed; false, after a line saying why, when there can be none.
bool splash_backend_open();
bool splash_backend_has_window();

// Whether the window system went away under the splash (X: the display's
// server ended); any thread may ask.
bool splash_backend_lost();
// When it did: writes so and lets go of the window and the connection
// without a request; every frame made on it is then let go of unfreed.
// True when it did.
bool splash_backend_give_up_if_lost();

splash_size splash_picture_size(const splash_bitmap& picture);
splash_size splash_screen_size();

// The loaded picture as a frame: on Windows the bitmap itself, on X its
// pixels sent to the server.
splash_frame splash_frame_of(splash_bitmap picture);
// A new frame of the given size holding a copy of source; empty when it
// cannot be made.
splash_frame splash_copy_frame(splash_frame_handle source, splash_size size);

// Paints onto one frame: a text with the top-left corner of its character
// cell at (left, top), a bar's filled share, already cut to the frame. The
// font is made by the first text the splash draws, not before.
class splash_painter {
public:
    splash_painter(splash_frame_handle frame, splash_size size);
    ~splash_painter();
    splash_painter(const splash_painter&) = delete;
    splash_painter& operator=(const splash_painter&) = delete;

    void text(std::int32_t left, std::int32_t top, const std::u16string& characters);
    void bar(const splash_rect& bar);

private:
    struct parts;
    std::unique_ptr<parts> parts_;
};

// Moves the window so that its top-left corner is at (left, top), at the
// picture's size.
void splash_place_window(std::int32_t left, std::int32_t top, splash_size size);
// The window shows frame from now on (none: nothing). The caller keeps the
// frame until the window is given another or destroyed.
void splash_present(splash_frame_handle frame);
void splash_map_window();
void splash_destroy_window();
// Handles the events waiting for the splash thread's windows; never blocks.
void splash_pump_events();
