#include "splash_window.h"

#include "splash_drawing.h"
#include "splash_geometry.h"
#include "splash_output.h"
#include "splash_text.h"

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <utility>
#include <vector>

namespace {

struct gdi_delete {
    void operator()(HGDIOBJ object) const noexcept { DeleteObject(object); }
};
using unique_font = std::unique_ptr<std::remove_pointer_t<HFONT>, gdi_delete>;
using unique_brush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, gdi_delete>;
using unique_pen = std::unique_ptr<std::remove_pointer_t<HPEN>, gdi_delete>;

struct dc_delete {
    void operator()(HDC dc) const noexcept { DeleteDC(dc); }
};
using memory_dc = std::unique_ptr<std::remove_pointer_t<HDC>, dc_delete>;

class screen_dc {
public:
    screen_dc() : dc(GetDC(nullptr)) {}
    ~screen_dc() { ReleaseDC(nullptr, dc); }
    screen_dc(const screen_dc&) = delete;
    screen_dc& operator=(const screen_dc&) = delete;
    HDC get() const { return dc; }

private:
    HDC dc;
};

// Selects an object into a device context for a scope and puts the
// previous one back, so that nothing stays selected when the DC goes.
class selection {
public:
    selection(HDC dc, HGDIOBJ object) : dc(dc), previous(SelectObject(dc, object)) {}
    ~selection() { SelectObject(dc, previous); }
    selection(const selection&) = delete;
    selection& operator=(const selection&) = delete;

private:
    HDC dc;
    HGDIOBJ previous;
};

constexpr DWORD kWindowStyle = 0x8200000E; // WS_POPUP | WS_CLIPCHILDREN | SS_BITMAP
constexpr COLORREF kBarColour = 0xDCA048;

// The splash state: the splash thread's alone. It lives until the process
// ends (never destroyed, so that leaving WinMain does not pull it from under
// a splash thread that is still running).
struct splash_state {
    HWND splash_window = nullptr;
    splash_bitmap splash_image;
    std::int32_t splash_image_width = 0;
    std::int32_t splash_image_height = 0;
    unique_font splash_font;
    // The bitmap the window shows (not owned), and the one it shows when that
    // is not the base image: the last uncommitted frame, or a base image that
    // a later show replaced while the window still showed it. Each bitmap is
    // released as soon as the window no longer shows it.
    HBITMAP shown_bitmap = nullptr;
    splash_bitmap shown_extra;
};

splash_state& state()
{
    static splash_state* const instance = new splash_state;
    return *instance;
}

std::atomic<std::uint64_t> frames_shown{0};

void give_window(splash_state& s, HBITMAP bitmap)
{
    ++frames_shown;
    SendMessageA(s.splash_window, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    s.shown_bitmap = bitmap;
}

void create_window(splash_state& s)
{
    if (!s.splash_font)
        s.splash_font.reset(CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, 0, OUT_DEFAULT_PRECIS,
                                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Arial"));
    HINSTANCE module = GetModuleHandleA(nullptr);
    // The program's icon group is MAINICON, so this lookup normally fails and
    // the window becomes a tool window, kept off the task bar.
    const bool has_icon = LoadIconA(module, "MAINCON") != nullptr;
    InitCommonControls();
    s.splash_window = CreateWindowExA(has_icon ? 0 : WS_EX_TOOLWINDOW, "STATIC", "Tarnwick.IO", kWindowStyle,
                                      CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, nullptr, nullptr, module, nullptr);
}

void draw_text(HDC dc, std::int32_t x, std::int32_t y, const std::string& text)
{
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wide characters");
    const std::u16string characters = utf16_from_modified_utf8(text, kSplashMostTextUnits);
    TextOutW(dc, x, y, reinterpret_cast<const wchar_t*>(characters.c_str()), static_cast<int>(characters.size()));
}

void draw_bar(HDC dc, const splash_rect& bar)
{
    if (splash_rect_empty(bar))
        return;
    unique_brush brush(CreateSolidBrush(kBarColour));
    unique_pen pen(CreatePen(PS_NULL, 0, 0));
    selection brush_selected(dc, brush.get());
    selection pen_selected(dc, pen.get());
    // Without an outline Rectangle leaves its right and bottom edge unfilled:
    // one more pixel each way fills exactly the bar's own pixels.
    Rectangle(dc, bar.left, bar.top, bar.right + 1, bar.bottom + 1);
}

// A 24-bit frame holding the source picture with the drawings painted over
// it, in their order; copying drops the alpha channel. Empty when the frame
// cannot be made.
splash_bitmap compose_frame(const splash_state& s, HBITMAP source, const std::vector<const splash_drawing*>& drawings)
{
    screen_dc screen;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = s.splash_image_width;
    info.bmiHeader.biHeight = s.splash_image_height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    splash_bitmap frame(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!frame)
        return nullptr;

    memory_dc target(CreateCompatibleDC(screen.get()));
    memory_dc picture(CreateCompatibleDC(target.get()));
    {
        selection frame_selected(target.get(), frame.get());
        selection source_selected(picture.get(), source);
        selection font_selected(target.get(), s.splash_font.get());
        SetBkMode(target.get(), TRANSPARENT);
        BitBlt(target.get(), 0, 0, s.splash_image_width, s.splash_image_height, picture.get(), 0, 0, SRCCOPY);
        for (const splash_drawing* drawing : drawings) {
            draw_text(target.get(), drawing->text_x, drawing->text_y, drawing->text);
            if (drawing->has_bar)
                draw_bar(target.get(), drawing->bar);
        }
    }
    GdiFlush();
    return frame;
}

bool can_draw(const splash_state& s)
{
    return s.splash_image && s.splash_window != nullptr;
}

} // namespace

void show_splash_window(splash_bitmap image)
{
    splash_state& s = state();
    splash_bitmap replaced = std::move(s.splash_image);
    s.splash_image = std::move(image);
    if (replaced && replaced.get() == s.shown_bitmap)
        s.shown_extra = std::move(replaced);

    splash_line("Initialize window system");
    if (s.splash_window == nullptr)
        create_window(s);

    if (!s.splash_image) {
        splash_line("The bitmap is not found");
        return;
    }
    splash_line("Bitmap resource succefully loaded");

    BITMAP size{};
    GetObjectA(s.splash_image.get(), sizeof size, &size);
    s.splash_image_width = size.bmWidth;
    s.splash_image_height = size.bmHeight;

    const int left = (GetSystemMetrics(SM_CXSCREEN) - s.splash_image_width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - s.splash_image_height) / 2;
    SetWindowPos(s.splash_window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A bitmap-mode static control takes the size of its bitmap.
    give_window(s, s.splash_image.get());
    s.shown_extra.reset();
    ShowWindow(s.splash_window, SW_SHOW);
    BringWindowToTop(s.splash_window);
    pump_splash_messages();
}

void draw_splash_drawings(const splash_drawing_run& run)
{
    splash_state& s = state();
    if (run.empty() || !can_draw(s))
        return;
    const splash_drawing_plan plan = plan_splash_drawings(run);
    splash_bitmap base;
    if (!plan.kept.empty()) {
        base = compose_frame(s, s.splash_image.get(), plan.kept);
        // No frame, no picture to draw on until the next show.
        if (!base) {
            give_window(s, nullptr);
            pump_splash_messages();
            s.splash_image.reset();
            s.shown_extra.reset();
            return;
        }
    }
    HBITMAP const source = base ? base.get() : s.splash_image.get();
    splash_bitmap frame = plan.shown != nullptr ? compose_frame(s, source, {plan.shown}) : nullptr;
    // The window lets go of what it showed before any bitmap is released.
    give_window(s, plan.shown != nullptr ? frame.get() : source);
    pump_splash_messages();
    if (base)
        s.splash_image = std::move(base);
    s.shown_extra = std::move(frame);
}

void destroy_splash_window()
{
    splash_state& s = state();
    if (s.splash_window == nullptr)
        return;
    DestroyWindow(s.splash_window);
    pump_splash_messages();
    s.splash_window = nullptr;
    s.shown_bitmap = nullptr;
    s.shown_extra.reset();
}

void pump_splash_messages()
{
    if (state().splash_window == nullptr)
        return;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

std::uint64_t splash_frames_shown()
{
    return frames_shown.load();
}
