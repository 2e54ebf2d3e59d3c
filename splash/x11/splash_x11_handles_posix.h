// What the X back end is given by the server and by Xft, each owned through
// unique_handle and given back with the call that matches how it was made.
#pragma once

#include "splash_x11_posix.h"
#include "unique_handle.h"

// A server resource is named by its id on one display.
struct x_resource_id {
    Display* display = nullptr;
    XID id = 0;
    bool operator==(const x_resource_id& other) const { return display == other.display && id == other.id; }
};

struct x_window_traits {
    using handle_type = x_resource_id;
    static handle_type invalid() noexcept { return {}; }
    static void close(handle_type window) noexcept { xlib().XDestroyWindow(window.display, window.id); }
};
struct x_colormap_traits {
    using handle_type = x_resource_id;
    static handle_type invalid() noexcept { return {}; }
    static void close(handle_type colormap) noexcept { xlib().XFreeColormap(colormap.display, colormap.id); }
};
struct x_pixmap_traits {
    using handle_type = x_resource_id;
    static handle_type invalid() noexcept { return {}; }
    static void close(handle_type pixmap) noexcept { xlib().XFreePixmap(pixmap.display, pixmap.id); }
};
using x_window = unique_handle<x_window_traits>;
using x_colormap = unique_handle<x_colormap_traits>;
using x_pixmap = unique_handle<x_pixmap_traits>;

struct x_display_traits {
    using handle_type = Display*;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type display) noexcept { xlib().XCloseDisplay(display); }
};
using x_connection = unique_handle<x_display_traits>;

struct x_gc_handle {
    Display* display = nullptr;
    GC gc = nullptr;
    bool operator==(const x_gc_handle& other) const { return display == other.display && gc == other.gc; }
};
struct x_gc_traits {
    using handle_type = x_gc_handle;
    static handle_type invalid() noexcept { return {}; }
    static void close(handle_type gc) noexcept { xlib().XFreeGC(gc.display, gc.gc); }
};
using x_gc = unique_handle<x_gc_traits>;

struct xft_font_handle {
    Display* display = nullptr;
    XftFont* font = nullptr;
    bool operator==(const xft_font_handle& other) const { return display == other.display && font == other.font; }
};
struct xft_font_traits {
    using handle_type = xft_font_handle;
    static handle_type invalid() noexcept { return {}; }
    static void close(handle_type font) noexcept { xft().XftFontClose(font.display, font.font); }
};
using xft_font = unique_handle<xft_font_traits>;

struct xft_draw_traits {
    using handle_type = XftDraw*;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type draw) noexcept { xft().XftDrawDestroy(draw); }
};
using xft_draw = unique_handle<xft_draw_traits>;
