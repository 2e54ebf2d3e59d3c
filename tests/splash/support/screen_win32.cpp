#include "screen.h"

#include <windows.h>

namespace splash_test {

rect screen_area()
{
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

image capture(const rect& area)
{
    HDC screen = GetDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = area.width;
    info.bmiHeader.biHeight = -area.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, area.width, area.height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    image shot(area.width, area.height);
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (std::size_t i = 0; i < shot.pixels().size(); ++i)
        shot.pixels()[i] = pixels[i] & 0xFFFFFF;
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    return shot;
}

namespace {

BOOL CALLBACK collect(HWND window, LPARAM found)
{
    char class_name[32] = {};
    wchar_t text[64] = {};
    GetClassNameA(window, class_name, sizeof class_name);
    // GetWindowText would send WM_GETTEXT to a window of this process and
    // wait for its thread, which does not take messages while it is idle.
    InternalGetWindowText(window, text, sizeof text / sizeof text[0]);
    if (lstrcmpiA(class_name, "Static") == 0 && lstrcmpW(text, L"Tarnwick.IO") == 0 && IsWindowVisible(window)) {
        RECT r;
        GetWindowRect(window, &r);
        reinterpret_cast<std::vector<rect>*>(found)->push_back(
            {r.left, r.top, static_cast<int>(r.right - r.left), static_cast<int>(r.bottom - r.top)});
    }
    return TRUE;
}

} // namespace

std::vector<rect> visible_splash_windows()
{
    std::vector<rect> found;
    EnumWindows(collect, reinterpret_cast<LPARAM>(&found));
    return found;
}

} // namespace splash_test
