#include "bitmap_view.h"

#include <windows.h>

#include <algorithm>

namespace splash_test {

bitmap_view view_of(const splash_bitmap& bitmap)
{
    bitmap_view view;
    DIBSECTION section{};
    if (GetObjectA(bitmap.get(), sizeof section, &section) != sizeof section)
        return view;
    view.width = section.dsBm.bmWidth;
    view.height = section.dsBm.bmHeight;
    view.bits_per_pixel = section.dsBm.bmBitsPixel;
    if (view.bits_per_pixel != 32)
        return view;

    // The pixels as GDI sees them, top row first...
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = view.width;
    info.bmiHeader.biHeight = -view.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    view.argb.resize(static_cast<std::size_t>(view.width) * view.height);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap.get(), 0, static_cast<UINT>(view.height), view.argb.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);

    // ...and whether its memory holds them in that order.
    const auto* memory = static_cast<const std::uint32_t*>(section.dsBm.bmBits);
    view.top_down = section.dsBm.bmWidthBytes == 4 * view.width &&
                    std::equal(view.argb.begin(), view.argb.end(), memory);
    return view;
}

} // namespace splash_test
