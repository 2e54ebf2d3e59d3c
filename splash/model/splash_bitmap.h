// The picture that the image loaders hand to the splash window: a GDI
// bitmap on Windows (a top-down 32-bit DIB section), premultiplied BGRA
// pixels in memory on Linux, where the window turns them into a pixmap of
// its own display.
#pragma once

#include "unique_handle.h"

#ifdef _WIN32
struct HBITMAP__;
using splash_bitmap_handle = HBITMAP__*;
#else
struct splash_pixels;
using splash_bitmap_handle = splash_pixels*;
#endif

struct splash_bitmap_traits {
    using handle_type = splash_bitmap_handle;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type bitmap) noexcept;
};

// Owns its picture; empty when a picture could not be had.
using splash_bitmap = unique_handle<splash_bitmap_traits>;
