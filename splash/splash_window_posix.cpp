#include "splash_window.h"

#include "splash_geometry.h"
#include "splash_output.h"
#include "splash_pixels_posix.h"
#include "splash_text.h"

#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <atomic>
#include <limits>
#include <memory>
#include <mutex>
#include <utility>

namespace {

// An X resource id together with the call that frees it.
template <int (*Free)(Display*, XID)>
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
            Free(display, id);
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
using x_window = x_resource<XDestroyWindow>;
using x_pixmap = x_resource<XFreePixmap>;
using x_colormap = x_resource<XFreeColormap>;

struct display_close {
    void operator()(Display* display) const noexcept { XCloseDisplay(display); }
};
struct font_close {
    Display* display;
    void operator()(XftFont* font) const noexcept { XftFontClose(display, font); }
};
struct gc_free {
    Display* display;
    void operator()(GC gc) const noexcept { XFreeGC(display, gc); }
};
struct draw_destroy {
    void operator()(XftDraw* draw) const noexcept { XftDrawDestroy(draw); }
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

// The connection of the splash thread(s), opened by the first show that
// finds a display and kept, like the Windows font, for the process, unless
// the display is lost.
struct x_display {
    std::unique_ptr<Display, display_close> display;
    int screen = 0;
    Visual* visual = nullptr;
    x_colormap colormap;
    std::unique_ptr<XftFont, font_close> font{nullptr, font_close{nullptr}};
    channel red, green, blue;

    unsigned long pixel(unsigned r, unsigned g, unsigned b) const
    {
        return red.place(r) | green.place(g) | blue.place(b);
    }
};

constexpr int kDepth = 24;
// Windows COLORREF 0xDCA048.
constexpr unsigned kBarRed = 0x48, kBarGreen = 0xA0, kBarBlue = 0xDC;

// The splash state: the splash thread's alone. It lives until the process
// ends (never destroyed, so that leaving main does not pull it from under a
// splash thread that is still running).
struct splash_state {
    std::unique_ptr<x_display> x;
    x_window splash_window;
    x_pixmap splash_image;
    std::int32_t splash_image_width = 0;
    std::int32_t splash_image_height = 0;
};

splash_state& state()
{
    static splash_state* const instance = new splash_state;
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
        previous_error_handler = XSetErrorHandler(on_x_error);
        previous_io_error_handler = XSetIOErrorHandler(on_x_io_error);
    });
}

std::unique_ptr<x_display> open_display()
{
    auto x = std::make_unique<x_display>();
    x->display.reset(XOpenDisplay(nullptr));
    if (!x->display)
        return nullptr;
    Display* display = x->display.get();
    x->screen = DefaultScreen(display);
    XVisualInfo info{};
    if (!XMatchVisualInfo(display, x->screen, kDepth, TrueColor, &info))
        return nullptr;
    install_error_handlers();
    splash_display = display;
    XSetIOErrorExitHandler(display, on_x_io_error_exit, nullptr);
    x->visual = info.visual;
    x->red = channel(info.red_mask);
    x->green = channel(info.green_mask);
    x->blue = channel(info.blue_mask);
    x->colormap = x_colormap(display, XCreateColormap(display, RootWindow(display, x->screen), x->visual, AllocNone));
    // Liberation Sans has Arial's metrics; 11 pixels is Arial's height -11.
    x->font = std::unique_ptr<XftFont, font_close>(
        XftFontOpen(display, x->screen, XFT_FAMILY, XftTypeString, "Liberation Sans", XFT_PIXEL_SIZE, XftTypeDouble,
                    11.0, nullptr),
        font_close{display});
    return x;
}

// Once the display is lost nothing more is asked of it: the ids it gave are
// dropped without a request, and closing it frees what Xlib and Xft keep
// for it. The splash goes on as without a display; a later show tries to
// open one again.
bool display_usable(splash_state& s)
{
    if (s.x && splash_display_lost.load()) {
        splash_line("Lost the connection to the display");
        s.splash_window.forget();
        s.splash_image.forget();
        s.x->colormap.forget();
        splash_display = nullptr;
        s.x.reset();
        splash_display_lost = false;
    }
    return s.x != nullptr;
}

void create_window(splash_state& s)
{
    const x_display& x = *s.x;
    XSetWindowAttributes attributes{};
    // Override-redirect: no window manager decorates, moves or sizes it.
    attributes.override_redirect = True;
    attributes.background_pixel = 0;
    attributes.border_pixel = 0;
    attributes.colormap = x.colormap.get();
    Display* display = x.display.get();
    Window window = XCreateWindow(display, RootWindow(display, x.screen), 0, 0, 1, 1, 0, kDepth, InputOutput,
                                  x.visual, CWOverrideRedirect | CWBackPixel | CWBorderPixel | CWColormap, &attributes);
    XStoreName(display, window, "Tarnwick.IO");
    s.splash_window = x_window(display, window);
}

bool host_is_little_endian()
{
    const unsigned one = 1;
    return *reinterpret_cast<const unsigned char*>(&one) == 1;
}

// The picture as a server-side pixmap: alpha dropped, as in the 24-bit
// frames on Windows, so fully transparent pixels become black.
x_pixmap upload(const x_display& x, Window window, const splash_pixels& picture)
{
    Display* display = x.display.get();
    std::vector<std::uint32_t> pixels(picture.argb.size());
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const std::uint32_t argb = picture.argb[i];
        pixels[i] = static_cast<std::uint32_t>(x.pixel(argb >> 16 & 0xFF, argb >> 8 & 0xFF, argb & 0xFF));
    }
    XImage image{};
    image.width = picture.width;
    image.height = picture.height;
    image.format = ZPixmap;
    image.data = reinterpret_cast<char*>(pixels.data());
    image.byte_order = host_is_little_endian() ? LSBFirst : MSBFirst;
    image.bitmap_unit = 32;
    image.bitmap_bit_order = image.byte_order;
    image.bitmap_pad = 32;
    image.depth = kDepth;
    image.bytes_per_line = 4 * picture.width;
    image.bits_per_pixel = 32;
    image.red_mask = x.red.mask;
    image.green_mask = x.green.mask;
    image.blue_mask = x.blue.mask;
    XInitImage(&image);

    x_pixmap pixmap(display, XCreatePixmap(display, window, static_cast<unsigned>(picture.width),
                                           static_cast<unsigned>(picture.height), kDepth));
    unique_gc gc(XCreateGC(display, pixmap.get(), 0, nullptr), gc_free{display});
    XPutImage(display, pixmap.get(), gc.get(), &image, 0, 0, 0, 0, static_cast<unsigned>(picture.width),
              static_cast<unsigned>(picture.height));
    return pixmap;
}

void drain_events(Display* display)
{
    XSync(display, False);
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
    }
}

// X coordinates travel as 16-bit values: a text whose origin lies beyond
// them could only be drawn somewhere it does not belong.
bool in_protocol_range(std::int64_t value)
{
    return value >= std::numeric_limits<std::int16_t>::min() && value <= std::numeric_limits<std::int16_t>::max();
}

// Paints texts and bars onto one frame: one Xft drawable and one colour for
// however many drawings go onto it.
class frame_painter {
public:
    frame_painter(const x_display& x, Drawable target, GC gc, std::int32_t width, std::int32_t height)
        : x(x), target(target), gc(gc), width(width), height(height),
          draw(XftDrawCreate(x.display.get(), target, x.visual, x.colormap.get()))
    {
        const XRenderColor black{0, 0, 0, 0xFFFF};
        has_colour = draw && XftColorAllocValue(x.display.get(), x.visual, x.colormap.get(), &black, &colour);
    }
    ~frame_painter()
    {
        if (has_colour)
            XftColorFree(x.display.get(), x.visual, x.colormap.get(), &colour);
    }
    frame_painter(const frame_painter&) = delete;
    frame_painter& operator=(const frame_painter&) = delete;

    void paint(const splash_drawing& drawing)
    {
        draw_text(drawing.text_x, drawing.text_y, drawing.text);
        if (drawing.has_bar)
            draw_bar(drawing.bar);
    }

private:
    void draw_text(std::int32_t left, std::int32_t top, const std::string& text)
    {
        XftFont* font = x.font.get();
        if (font == nullptr || !has_colour || !in_protocol_range(left) ||
            !in_protocol_range(std::int64_t{top} + font->ascent))
            return;
        const std::string characters = utf8_from_modified_utf8(text, kSplashMostTextUnits);
        // Xft places text by its baseline; GDI by the top of the character cell.
        XftDrawStringUtf8(draw.get(), &colour, font, left, top + font->ascent,
                          reinterpret_cast<const FcChar8*>(characters.data()), static_cast<int>(characters.size()));
    }

    void draw_bar(const splash_rect& bar)
    {
        // Only the part on the picture: the protocol's 16-bit coordinates
        // could not carry the rest.
        const splash_rect visible{std::max(bar.left, 0), std::max(bar.top, 0), std::min(bar.right, width),
                                  std::min(bar.bottom, height)};
        if (splash_rect_empty(visible))
            return;
        XSetForeground(x.display.get(), gc, x.pixel(kBarRed, kBarGreen, kBarBlue));
        XFillRectangle(x.display.get(), target, gc, visible.left, visible.top,
                       static_cast<unsigned>(visible.right - visible.left),
                       static_cast<unsigned>(visible.bottom - visible.top));
    }

    const x_display& x;
    Drawable target;
    GC gc;
    std::int32_t width;
    std::int32_t height;
    std::unique_ptr<XftDraw, draw_destroy> draw;
    XftColor colour{};
    bool has_colour = false;
};

// A new frame holding the source picture with the drawings painted over it,
// in their order. A display lost on the way ends the painting.
x_pixmap compose_frame(splash_state& s, Pixmap source, const std::vector<const splash_drawing*>& drawings)
{
    const x_display& x = *s.x;
    Display* display = x.display.get();
    const auto width = static_cast<unsigned>(s.splash_image_width);
    const auto height = static_cast<unsigned>(s.splash_image_height);
    x_pixmap frame(display, XCreatePixmap(display, s.splash_window.get(), width, height, kDepth));
    unique_gc gc(XCreateGC(display, frame.get(), 0, nullptr), gc_free{display});
    XCopyArea(display, source, frame.get(), gc.get(), 0, 0, width, height, 0, 0);
    frame_painter painter(x, frame.get(), gc.get(), s.splash_image_width, s.splash_image_height);
    for (const splash_drawing* drawing : drawings) {
        if (splash_display_lost.load())
            break;
        painter.paint(*drawing);
    }
    return frame;
}

std::atomic<std::uint64_t> frames_shown{0};

void show_picture(splash_state& s, Pixmap picture)
{
    ++frames_shown;
    Display* display = s.x->display.get();
    // The server keeps the background pixmap for as long as the window uses
    // it, so the client may free its own reference at once.
    XSetWindowBackgroundPixmap(display, s.splash_window.get(), picture);
    XClearWindow(display, s.splash_window.get());
}

bool can_draw(splash_state& s)
{
    return display_usable(s) && s.splash_image && s.splash_window;
}

} // namespace

void show_splash_window(splash_bitmap image)
{
    splash_state& s = state();
    display_usable(s);
    s.splash_image.reset();

    splash_line("Initialize window system");
    if (!s.x) {
        s.x = open_display();
        if (!s.x)
            splash_line("Failed to open display");
    }
    if (s.x && !s.splash_window)
        create_window(s);

    if (!image) {
        splash_line("The bitmap is not found");
        return;
    }
    splash_line("Bitmap resource succefully loaded");
    s.splash_image_width = image->width;
    s.splash_image_height = image->height;
    if (!s.splash_window)
        return;

    Display* display = s.x->display.get();
    s.splash_image = upload(*s.x, s.splash_window.get(), *image);
    const int left = (DisplayWidth(display, s.x->screen) - s.splash_image_width) / 2;
    const int top = (DisplayHeight(display, s.x->screen) - s.splash_image_height) / 2;
    XMoveResizeWindow(display, s.splash_window.get(), left, top, static_cast<unsigned>(s.splash_image_width),
                      static_cast<unsigned>(s.splash_image_height));
    show_picture(s, s.splash_image.get());
    XMapRaised(display, s.splash_window.get());
    pump_splash_messages();
}

void draw_splash_drawings(const splash_drawing_run& run)
{
    splash_state& s = state();
    if (run.empty() || !can_draw(s))
        return;
    const splash_drawing_plan plan = plan_splash_drawings(run);
    if (!plan.kept.empty())
        s.splash_image = compose_frame(s, s.splash_image.get(), plan.kept);
    if (plan.shown != nullptr) {
        // Freed at once: the window keeps it as its background.
        const x_pixmap frame = compose_frame(s, s.splash_image.get(), {plan.shown});
        show_picture(s, frame.get());
    } else {
        show_picture(s, s.splash_image.get());
    }
    pump_splash_messages();
}

void destroy_splash_window()
{
    splash_state& s = state();
    if (!display_usable(s) || !s.splash_window)
        return;
    s.splash_window.reset();
    drain_events(s.x->display.get());
    display_usable(s);
}

void pump_splash_messages()
{
    splash_state& s = state();
    if (!display_usable(s) || !s.splash_window)
        return;
    drain_events(s.x->display.get());
    display_usable(s);
}

std::uint64_t splash_frames_shown()
{
    return frames_shown.load();
}
