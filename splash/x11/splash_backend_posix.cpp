// The splash window on X: an undecorated window of the splash's display,
// shown, moved and given frames as its background.
#include "splash_backend.h"

#include "splash_connection_posix.h"
#include "splash_output.h"

using namespace splash_x11;

namespace {

void create_window(backend_state& b)
{
    const xlib_functions& x11 = xlib();
    x_display& x = *b.x;
    XSetWindowAttributes attributes{};
    // Override-redirect: no window manager decorates, moves or sizes it.
    attributes.override_redirect = True;
    attributes.background_pixel = 0;
    attributes.border_pixel = 0;
    attributes.colormap = x.colormap.get().id;
    Display* display = x.display();
    const Window window = x11.XCreateWindow(display, RootWindow(display, x.screen), 0, 0, 1, 1, 0, kDepth,
                                            InputOutput, x.visual,
                                            CWOverrideRedirect | CWBackPixel | CWBorderPixel | CWColormap, &attributes);
    b.window = x_window({display, window});
    x11.XStoreName(display, window, "Tarnwick.IO");
    // Kept with the connection, for every window that the splash makes on it.
    if (!x.gc)
        x.gc = x_gc({display, x11.XCreateGC(display, window, 0, nullptr)});
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

} // namespace

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

void splash_place_window(std::int32_t left, std::int32_t top, splash_size size)
{
    const backend_state& b = backend();
    xlib().XMoveResizeWindow(b.x->display(), b.window.get().id, left, top, static_cast<unsigned>(size.width),
                             static_cast<unsigned>(size.height));
}

void splash_present(splash_pixmap* frame)
{
    const backend_state& b = backend();
    const xlib_functions& x11 = xlib();
    Display* display = b.x->display();
    // The window keeps a background pixmap for as long as it uses it.
    x11.XSetWindowBackgroundPixmap(display, b.window.get().id, frame != nullptr ? frame->id() : None);
    x11.XClearWindow(display, b.window.get().id);
}

void splash_map_window()
{
    const backend_state& b = backend();
    xlib().XMapRaised(b.x->display(), b.window.get().id);
}

void splash_destroy_window()
{
    backend_state& b = backend();
    b.window.reset();
    drain_events(b.x->display());
}

void splash_pump_events()
{
    drain_events(backend().x->display());
}
