// The splash window on Windows: a bitmap-mode static control, its frames
// 24-bit DIB sections, painted with GDI.
#include "splash_backend.h"

#include "splash_gdi_win32.h"

#include <windows.h>

#include <commctrl.h>

namespace {

struct window_traits {
    using handle_type = HWND;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type window) noexcept { DestroyWindow(window); }
};
using splash_hwnd = unique_handle<window_traits>;

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

// The back end's state: the splash thread's alone, for the life of the
// process (never destroyed, so that leaving WinMain does not pull it from
// under a splash thread that is still running).
struct backend_state {
    splash_hwnd window;
    // Made by the first text, after the picture is on the screen.
    gdi_font font;
};

backend_state& backend()
{
    static backend_state* const instance = new backend_state;
    return *instance;
}

// The font is kept on purpose for the life of the process, for every text.
HFONT text_font()
{
    backend_state& b = backend();
    if (!b.font)
        b.font.reset(CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, 0, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Arial"));
    return b.font.get();
}

} // namespace

void splash_frame_traits::close(HBITMAP frame) noexcept
{
    DeleteObject(frame);
}

void splash_backend_preload() {}

bool splash_backend_open()
{
    backend_state& b = backend();
    if (!b.window) {
        HINSTANCE module = GetModuleHandleA(nullptr);
        // The program's icon group is MAINICON, so this lookup normally fails
        // and the window becomes a tool window, kept off the task bar.
        const bool has_icon = LoadIconA(module, "MAINCON") != nullptr;
        InitCommonControls();
        b.window.reset(CreateWindowExA(has_icon ? 0 : WS_EX_TOOLWINDOW, "STATIC", "Tarnwick.IO", kWindowStyle,
                                       CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, nullptr, nullptr, module, nullptr));
    }
    return b.window.valid();
}

bool splash_backend_has_window()
{
    return backend().window.valid();
}

bool splash_backend_lost()
{
    return false;
}

bool splash_backend_give_up_if_lost()
{
    return false;
}

splash_size splash_picture_size(const splash_bitmap& picture)
{
    BITMAP size{};
    GetObjectA(picture.get(), sizeof size, &size);
    return {size.bmWidth, size.bmHeight};
}

splash_size splash_screen_size()
{
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

splash_frame splash_frame_of(splash_bitmap picture)
{
    return splash_frame(picture.release());
}

// A 24-bit frame: copying the picture into it drops the alpha channel.
splash_frame splash_copy_frame(HBITMAP source, splash_size size)
{
    const screen_dc screen = screen_dc_of_desktop();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = size.width;
    info.bmiHeader.biHeight = size.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    splash_frame frame(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!frame)
        return frame;
    memory_dc target(CreateCompatibleDC(screen.get()));
    memory_dc picture(CreateCompatibleDC(target.get()));
    {
        selection frame_selected(target.get(), frame.get());
        selection source_selected(picture.get(), source);
        BitBlt(target.get(), 0, 0, size.width, size.height, picture.get(), 0, 0, SRCCOPY);
    }
    return frame;
}

// A memory DC with the frame selected, for however many texts and bars go
// onto it; the font is selected by the first text.
struct splash_painter::parts {
    explicit parts(HBITMAP frame)
        : screen(screen_dc_of_desktop()), dc(CreateCompatibleDC(screen.get())), frame_selected(dc.get(), frame)
    {
        SetBkMode(dc.get(), TRANSPARENT);
    }
    ~parts() = default;
    parts(const parts&) = delete;
    parts& operator=(const parts&) = delete;

    // Destroyed in reverse: the DC lets go of the font and the frame before
    // it goes.
    screen_dc screen;
    memory_dc dc;
    selection frame_selected;
    std::unique_ptr<selection> font_selected;
};

splash_painter::splash_painter(HBITMAP frame, splash_size) : parts_(std::make_unique<parts>(frame)) {}

// The frame is complete for the window once the DC has let go of it.
splash_painter::~splash_painter()
{
    parts_.reset();
    GdiFlush();
}

void splash_painter::text(std::int32_t left, std::int32_t top, const std::u16string& characters)
{
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wide characters");
    if (!parts_->font_selected)
        parts_->font_selected = std::make_unique<selection>(parts_->dc.get(), text_font());
    TextOutW(parts_->dc.get(), left, top, reinterpret_cast<const wchar_t*>(characters.c_str()),
             static_cast<int>(characters.size()));
}

void splash_painter::bar(const splash_rect& bar)
{
    const gdi_brush brush(CreateSolidBrush(kBarColour));
    const gdi_pen pen(CreatePen(PS_NULL, 0, 0));
    selection brush_selected(parts_->dc.get(), brush.get());
    selection pen_selected(parts_->dc.get(), pen.get());
    // Without an outline Rectangle leaves its right and bottom edge unfilled:
    // one more pixel each way fills exactly the bar's own pixels.
    Rectangle(parts_->dc.get(), bar.left, bar.top, bar.right + 1, bar.bottom + 1);
}

// The window's size comes from its bitmap: a bitmap-mode static control
// takes the size of the bitmap it is given.
void splash_place_window(std::int32_t left, std::int32_t top, splash_size)
{
    SetWindowPos(backend().window.get(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void splash_present(HBITMAP frame)
{
    SendMessageA(backend().window.get(), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(frame));
}

void splash_map_window()
{
    ShowWindow(backend().window.get(), SW_SHOW);
    BringWindowToTop(backend().window.get());
}

void splash_destroy_window()
{
    backend().window.reset();
    splash_pump_events();
}

void splash_pump_events()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
