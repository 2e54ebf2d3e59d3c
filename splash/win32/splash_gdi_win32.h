// The GDI objects and device contexts that both the picture loader and the
// window make, each owned through unique_handle.
#pragma once

#include "unique_handle.h"

#include <windows.h>

template <class Object>
struct gdi_object_traits {
    using handle_type = Object;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type object) noexcept { DeleteObject(object); }
};
using gdi_font = unique_handle<gdi_object_traits<HFONT>>;
using gdi_brush = unique_handle<gdi_object_traits<HBRUSH>>;
using gdi_pen = unique_handle<gdi_object_traits<HPEN>>;

// A DC made with CreateCompatibleDC.
struct memory_dc_traits {
    using handle_type = HDC;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type dc) noexcept { DeleteDC(dc); }
};
using memory_dc = unique_handle<memory_dc_traits>;

// The screen's DC, from GetDC(nullptr).
struct screen_dc_traits {
    using handle_type = HDC;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type dc) noexcept { ReleaseDC(nullptr, dc); }
};
using screen_dc = unique_handle<screen_dc_traits>;

inline screen_dc screen_dc_of_desktop()
{
    return screen_dc(GetDC(nullptr));
}
