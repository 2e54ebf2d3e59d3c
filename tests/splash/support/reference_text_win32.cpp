#include "reference_text.h"

#include <windows.h>

namespace splash_test {

namespace {

// A 24-bit bottom-up frame, as the splash paints on, with the picture in it.
template <class Draw>
void draw_on(image& picture, Draw draw)
{
    const int width = picture.width();
    const int height = picture.height();
    const int stride = (3 * width + 3) & ~3;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    void* bits = nullptr;
    HBITMAP frame = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* bytes = static_cast<unsigned char*>(bits);
    auto pixel = [&](int x, int y) { return bytes + static_cast<std::size_t>(height - 1 - y) * stride + 3 * x; };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t rgb = picture.at(x, y);
            unsigned char* p = pixel(x, y);
            p[0] = static_cast<unsigned char>(rgb);
            p[1] = static_cast<unsigned char>(rgb >> 8);
            p[2] = static_cast<unsigned char>(rgb >> 16);
        }
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ previous_bitmap = SelectObject(dc, frame);
    HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, 0, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Arial");
    HGDIOBJ previous_font = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    draw(dc);
    GdiFlush();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = pixel(x, y);
            picture.set(x, y, static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[0]);
        }
    SelectObject(dc, previous_font);
    SelectObject(dc, previous_bitmap);
    DeleteObject(font);
    DeleteDC(dc);
    DeleteObject(frame);
    ReleaseDC(nullptr, screen);
}

} // namespace

void draw_reference_text(image& picture, int x, int y, const std::u16string& text)
{
    draw_on(picture, [&](HDC dc) {
        TextOutW(dc, x, y, reinterpret_cast<const wchar_t*>(text.c_str()), static_cast<int>(text.size()));
    });
}

int reference_text_width(const std::u16string& text)
{
    image scratch(1, 1);
    SIZE size{};
    draw_on(scratch, [&](HDC dc) {
        GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(text.c_str()), static_cast<int>(text.size()), &size);
    });
    return size.cx;
}

void draw_reference_bytes(image& picture, int x, int y, const std::string& bytes)
{
    draw_on(picture, [&](HDC dc) { TextOutA(dc, x, y, bytes.c_str(), static_cast<int>(bytes.size())); });
}

} // namespace splash_test
