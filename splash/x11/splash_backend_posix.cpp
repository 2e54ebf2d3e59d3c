#include "splash_backend.h"

#include "splash_output.h"
#include "splash_pixels_posix.h"
#include "splash_png_posix.h"
#include "splash_text.h"
#include "splash_x11_posix.h"

#include <atomic>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <utility>

// A frame: a pixmap of the display it was made on.
struct splash_pixmap {
    Pixmap id = 0;
    unsigned display_serial = 0;
};

namespace {

// An X resource id together with the call that frees it.
template <class Free>
class x_resource {
public:
    x_resource() = default;
    x_resource(Display* display, XID id) : display(display), id(id) {}
    x_resource(x_resource&& other) noexcept : display(other.display), id(std::exchange(other.id, 0)) {}
    x_resource& operator=(x_resource&& other) noexcept
    {
        if (this != &other) {
            reset();
            display = other.display;
            id = std::exchange(other.id, 0);
        }
        return *this;
    }
    ~x_resource() { reset(); }

    void reset()
    {
        if (id != 0)
            Free{}(display, id);
        id = 0;
    }
    // Lets go of the id without a request: for a display that is gone.
    void forget() { id = 0; }
    XID get() const { return id; }
    explicit operator bool() const { return id != 0; }

private:
    Display* display = nullptr;
    XID id = 0;
};

struct window_free {
    void operator()(Display* display, XID id) const { xlib().XDestroyWindow(display, id); }
};
struct colormap_free {
    void operator()(Display* display, XID id) const { xlib().XFreeColormap(display, id); }
};
using x_window = x_resource<window_free>;
using x_colormap = x_resource<colormap_free>;

struct display_close {
    void operator()(Display* display) const noexcept { xlib().XCloseDisplay(display); }
};
struct font_close {
    Display* display;
    void operator()(XftFont* font) const noexcept { xft().XftFontClose(display, font); }
};
struct gc_free {
    Display* display;
    void operator()(GC gc) const noexcept { xlib().XFreeGC(display, gc); }
};
struct draw_destroy {
    void operator()(XftDraw* draw) const noexcept { xft().XftDrawDestroy(draw); }
};
using unique_gc = std::unique_ptr<std::remove_pointer_t<GC>, gc_free>;

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

constexpr int kDepth = 24;
// Windows COLORREF 0xDCA048.
constexpr unsigned kBarRed = 0x48, kBarGreen = 0xA0, kBarBlue = 0xDC;

// The connection of the splash thread(s), opened by the first show that
// finds a display and kept for the process, unless the display is lost.
// Members are destroyed in reverse order: the display is closed last.
struct x_display {
    std::unique_ptr<Display, display_close> display;
    unsigned serial = 0;
    int screen = 0;
    Visual* visual = nullptr;
    x_colormap colormap;
    channel red, green, blue;
    // Made with the window, for every frame and bar.
    unique_gc gc{nullptr, gc_free{nullptr}};
    // Opened by the first text, with libXft: after the picture is shown.
    bool font_tried = false;
    std::unique_ptr<XftFont, font_close> font{nullptr, font_close{nullptr}};

    unsigned long pixel(unsigned r, unsigned g, unsigned b) const
    {
        return red.place(r) | green.place(g) | blue.place(b);
    }
    // The picture's 0xAARRGGBB pixels need no conversion.
    bool takes_argb() const { return red.mask == 0xFF0000 && green.mask == 0xFF00 && blue.mask == 0xFF; }
};

// The back end's state: the splash thread's alone, for the life of the
// process.
struct backend_state {
    std::unique_ptr<x_display> x;
    x_window window;
    unsigned last_serial = 0;
};

backend_state& backend()
{
    static backend_state* const instance = new backend_state;
    return *instance;
}

// The splash ignores the failures of its own X requests, as it ignores GDI
// results on Windows; any other connection's errors go where they went.
// Xlib may call the handlers on any thread that uses it.
std::atomic<Display*> splash_display{nullptr};
std::atomic<XErrorHandler> previous_error_handler{nullptr};
std::atomic<XIOErrorHandler> previous_io_error_handler{nullptr};
// A display that dies under the splash (its server ends, the connection
// breaks) must not end the application. Xlib calls the I/O error handler
// and then the display's exit handler, both of which would end the process
// by default; here both return, Xlib's calls on that display do nothing from
// then on, and the splash gives the display up as soon as its current call
// returns. Set on the splash thread, inside one of its own Xlib calls.
std::atomic<bool> splash_display_lost{false};

int on_x_error(Display* display, XErrorEvent* event)
{
    if (display == splash_display.load())
        return 0;
    const XErrorHandler previous = previous_error_handler.load();
    return previous != nullptr ? previous(display, event) : 0;
}

int on_x_io_error(Display* display)
{
    if (display == splash_display.load()) {
        splash_display_lost = true;
        return 0;
    }
    const XIOErrorHandler previous = previous_io_error_handler.load();
    return previous != nullptr ? previous(display) : 0;
}

void on_x_io_error_exit(Display*, void*)
{
    splash_display_lost = true;
}

// The handlers are process-wide: set once, even when a lost display is
// replaced by a new one.
void install_error_handlers()
{
    static std::once_flag once;
    std::call_once(once, [] {
        previous_error_handler = xlib().XSetErrorHandler(on_x_error);
        previous_io_error_handler = xlib().XSetIOErrorHandler(on_x_io_error);
    });
}

std::unique_ptr<x_display> open_display(unsigned serial)
{
    const xlib_functions& x11 = xlib();
    auto x = std::make_unique<x_display>();
    x->display.reset(x11.XOpenDisplay(nullptr));
    if (!x->display)
        return nullptr;
    x->serial = serial;
    Display* display = x->display.get();
    x->screen = DefaultScreen(display);
    XVisualInfo info{};
    if (!x11.XMatchVisualInfo(display, x->screen, kDepth, TrueColor, &info))
        return nullptr;
    install_error_handlers();
    splash_display = display;
    x11.XSetIOErrorExitHandler(display, on_x_io_error_exit, nullptr);
    x->visual = info.visual;
    x->red = channel(info.red_mask);
    x->green = channel(info.green_mask);
    x->blue = channel(info.blue_mask);
    x->colormap =
        x_colormap(display, x11.XCreateColormap(display, RootWindow(display, x->screen), x->visual, AllocNone));
    return x;
}

void create_window(backend_state& b)
{
    const xlib_functions& x11 = xlib();
    x_display& x = *b.x;
    XSetWindowAttributes attributes{};
    // Override-redirect: no window manager decorates, moves or sizes it.
    attributes.override_redirect = True;
    attributes.background_pixel = 0;
    attributes.border_pixel = 0;
    attributes.colormap = x.colormap.get();
    Display* display = x.display.get();
    Window window = x11.XCreateWindow(display, RootWindow(display, x.screen), 0, 0, 1, 1, 0, kDepth, InputOutput,
                                      x.visual, CWOverrideRedirect | CWBackPixel | CWBorderPixel | CWColormap,
                                      &attributes);
    x11.XStoreName(display, window, "Tarnwick.IO");
    b.window = x_window(display, window);
    if (!x.gc)
        x.gc = unique_gc(x11.XCreateGC(display, window, 0, nullptr), gc_free{display});
}

// The font of every text, opened by the first one: libXft, fontconfig's
// configuration and the face are loaded only then. None when Xft cannot be
// loaded (said once) or the face cannot be opened: texts are then left out.
XftFont* text_font(x_display& x)
{
    if (!x.font_tried) {
        x.font_tried = true;
        const xft_functions& fonts = xft();
        static bool failure_written = false;
        if (!fonts.failure.empty()) {
            if (!failure_written)
                splash_line(fonts.failure);
            failure_written = true;
            return nullptr;
        }
        Display* display = x.display.get();
        // Liberation Sans has Arial's metrics; 11 pixels is Arial's height -11.
        x.font = std::unique_ptr<XftFont, font_close>(fonts.XftFontOpen(display, x.screen, XFT_FAMILY, XftTypeString,
                                                                        "Liberation Sans", XFT_PIXEL_SIZE,
                                                                        XftTypeDouble, 11.0, nullptr),
                                                      font_close{display});
    }
    return x.font.get();
}

void drain_events(Display* display)
{
    const xlib_functions& x11 = xlib();
    x11.XSync(display, False);
    while (x11.XPending(display) > 0) {
        XEvent event;
        x11.XNextEvent(display, &event);
    }
}

// X coordinates travel as 16-bit values: a text whose origin lies beyond
// them could only be drawn somewhere it does not belong.
bool in_protocol_range(std::int64_t value)
{
    return value >= std::numeric_limits<std::int16_t>::min() && value <= std::numeric_limits<std::int16_t>::max();
}

bool host_is_little_endian()
{
    const std::uint32_t one = 1;
    unsigned char first = 0;
    std::memcpy(&first, &one, 1);
    return first == 1;
}

splash_frame new_frame(const backend_state& b, Pixmap id)
{
    splash_frame frame(new splash_pixmap);
    frame->id = id;
    frame->display_serial = b.x->serial;
    return frame;
}

} // namespace

void splash_frame_deleter::operator()(splash_pixmap* frame) const noexcept
{
    const backend_state& b = backend();
    // A frame of a display that was lost goes without a request.
    if (b.x && b.x->serial == frame->display_serial)
        xlib().XFreePixmap(b.x->display.get(), frame->id);
    delete frame;
}

void splash_backend_preload()
{
    libpng();
    xlib();
}

bool splash_backend_open()
{
    backend_state& b = backend();
    if (!b.x) {
        const xlib_functions& x11 = xlib();
        if (!x11.failure.empty()) {
            splash_line(x11.failure);
            return false;
        }
        b.x = open_display(++b.last_serial);
        if (!b.x) {
            splash_line("Failed to open display");
            return false;
        }
    }
    if (!b.window)
        create_window(b);
    return true;
}

bool splash_backend_has_window()
{
    const backend_state& b = backend();
    return b.x && b.window;
}

bool splash_backend_lost()
{
    return splash_display_lost.load();
}

// Once the display is lost nothing more is asked of it: the ids it gave are
// dropped without a request, and closing it frees what Xlib and Xft keep
// for it.
bool splash_backend_give_up_if_lost()
{
    backend_state& b = backend();
    if (!b.x || !splash_display_lost.load())
        return false;
    splash_line("Lost the connection to the display");
    b.window.forget();
    b.x->colormap.forget();
    splash_display = nullptr;
    b.x.reset();
    splash_display_lost = false;
    return true;
}

splash_size splash_picture_size(const splash_bitmap& picture)
{
    return {picture->width, picture->height};
}

splash_size splash_screen_size()
{
    const x_display& x = *backend().x;
    return {DisplayWidth(x.display.get(), x.screen), DisplayHeight(x.display.get(), x.screen)};
}

// The picture's pixels go to the server as they are where the visual allows,
// turned into the visual's in place where it does not: the picture is not
// needed once sent. The alpha channel is dropped, as in the 24-bit frames on
// Windows, so fully transparent pixels become black.
splash_frame splash_frame_of(splash_bitmap picture)
{
    const backend_state& b = backend();
    const xlib_functions& x11 = xlib();
    const x_display& x = *b.x;
    Display* display = x.display.get();
    if (x.takes_argb()) {
        for (std::uint32_t& pixel : picture->argb)
            pixel &= 0xFFFFFF;
    } else {
        for (std::uint32_t& pixel : picture->argb)
            pixel = static_cast<std::uint32_t>(x.pixel(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF));
    }
    XImage image{};
    image.width = picture->width;
    image.height = picture->height;
    image.format = ZPixmap;
    image.data = reinterpret_cast<char*>(picture->argb.data());
    image.byte_order = host_is_little_endian() ? LSBFirst : MSBFirst;
    image.bitmap_unit = 32;
    image.bitmap_bit_order = image.byte_order;
    image.bitmap_pad = 32;
    image.depth = kDepth;
    image.bytes_per_line = 4 * picture->width;
    image.bits_per_pixel = 32;
    image.red_mask = x.red.mask;
    image.green_mask = x.green.mask;
    image.blue_mask = x.blue.mask;
    x11.XInitImage(&image);

    const auto width = static_cast<unsigned>(picture->width);
    const auto height = static_cast<unsigned>(picture->height);
    splash_frame frame = new_frame(b, x11.XCreatePixmap(display, b.window.get(), width, height, kDepth));
    x11.XPutImage(display, frame->id, x.gc.get(), &image, 0, 0, 0, 0, width, height);
    return frame;
}

splash_frame splash_copy_frame(splash_pixmap* source, splash_size size)
{
    const backend_state& b = backend();
    const xlib_functions& x11 = xlib();
    Display* display = b.x->display.get();
    const auto width = static_cast<unsigned>(size.width);
    const auto height = static_cast<unsigned>(size.height);
    splash_frame frame = new_frame(b, x11.XCreatePixmap(display, b.window.get(), width, height, kDepth));
    x11.XCopyArea(display, source->id, frame->id, b.x->gc.get(), 0, 0, width, height, 0, 0);
    return frame;
}

// One Xft drawable and one colour for however many texts go onto a frame,
// made by its first text.
struct splash_painter::parts {
    parts(x_display& x, Pixmap target) : x(x), target(target) {}
    ~parts()
    {
        if (has_colour)
            xft().XftColorFree(x.display.get(), x.visual, x.colormap.get(), &colour);
    }
    parts(const parts&) = delete;
    parts& operator=(const parts&) = delete;

    x_display& x;
    Pixmap target;
    bool text_tried = false;
    std::unique_ptr<XftDraw, draw_destroy> draw;
    XftColor colour{};
    bool has_colour = false;
};

splash_painter::splash_painter(splash_pixmap* frame, splash_size)
    : parts_(std::make_unique<parts>(*backend().x, frame->id))
{
}

splash_painter::~splash_painter() = default;

void splash_painter::text(std::int32_t left, std::int32_t top, const std::u16string& characters)
{
    x_display& x = parts_->x;
    XftFont* font = text_font(x);
    if (font == nullptr || !in_protocol_range(left) || !in_protocol_range(std::int64_t{top} + font->ascent))
        return;
    const xft_functions& fonts = xft();
    if (!parts_->text_tried) {
        parts_->text_tried = true;
        parts_->draw.reset(fonts.XftDrawCreate(x.display.get(), parts_->target, x.visual, x.colormap.get()));
        const XRenderColor black{0, 0, 0, 0xFFFF};
        parts_->has_colour =
            parts_->draw && fonts.XftColorAllocValue(x.display.get(), x.visual, x.colormap.get(), &black,
                                                     &parts_->colour);
    }
    if (!parts_->has_colour)
        return;
    const std::string utf8 = utf8_from_utf16(characters);
    // Xft places text by its baseline; GDI by the top of the character cell.
    fonts.XftDrawStringUtf8(parts_->draw.get(), &parts_->colour, font, left, top + font->ascent,
                            reinterpret_cast<const FcChar8*>(utf8.data()), static_cast<int>(utf8.size()));
}

void splash_painter::bar(const splash_rect& bar)
{
    const xlib_functions& x11 = xlib();
    const x_display& x = parts_->x;
    x11.XSetForeground(x.display.get(), x.gc.get(), x.pixel(kBarRed, kBarGreen, kBarBlue));
    x11.XFillRectangle(x.display.get(), parts_->target, x.gc.get(), bar.left, bar.top,
                       static_cast<unsigned>(bar.right - bar.left), static_cast<unsigned>(bar.bottom - bar.top));
}

void splash_place_window(std::int32_t left, std::int32_t top, splash_size size)
{
    const backend_state& b = backend();
    xlib().XMoveResizeWindow(b.x->display.get(), b.window.get(), left, top, static_cast<unsigned>(size.width),
                             static_cast<unsigned>(size.height));
}

void splash_present(splash_pixmap* frame)
{
    const backend_state& b = backend();
    const xlib_functions& x11 = xlib();
    Display* display = b.x->display.get();
    // The window keeps a background pixmap for as long as it uses it.
    x11.XSetWindowBackgroundPixmap(display, b.window.get(), frame != nullptr ? frame->id : None);
    x11.XClearWindow(display, b.window.get());
}

void splash_map_window()
{
    const backend_state& b = backend();
    xlib().XMapRaised(b.x->display.get(), b.window.get());
}

void splash_destroy_window()
{
    backend_state& b = backend();
    b.window.reset();
    drain_events(b.x->display.get());
}

void splash_pump_events()
{
    drain_events(backend().x->display.get());
}
