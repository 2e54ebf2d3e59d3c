// The display connection: opened by the first show that finds one, kept
// for the process, and given up without a request when its server is lost.
#include "splash_backend.h"

#include "splash_connection_posix.h"
#include "splash_output.h"
#include "splash_png_posix.h"

#include <atomic>
#include <mutex>

namespace splash_x11 {

// Never destroyed, so that leaving main does not pull the state from under
// a splash thread that is still running: the display connection it holds is
// kept on purpose for the life of the process, unless the display is lost.
backend_state& backend()
{
    static backend_state* const instance = new backend_state;
    return *instance;
}

namespace {

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

} // namespace

std::unique_ptr<x_display> open_display(unsigned serial)
{
    const xlib_functions& x11 = xlib();
    auto x = std::make_unique<x_display>();
    // Kept on purpose for the life of the process, unless the display is lost.
    x->connection.reset(x11.XOpenDisplay(nullptr));
    if (!x->connection)
        return nullptr;
    x->serial = serial;
    Display* display = x->display();
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
    x->colormap = x_colormap(
        {display, x11.XCreateColormap(display, RootWindow(display, x->screen), x->visual, AllocNone)});
    return x;
}

} // namespace splash_x11

using namespace splash_x11;

void splash_backend_preload()
{
    libpng();
    xlib();
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
    (void)b.window.release();
    (void)b.x->colormap.release();
    splash_display = nullptr;
    b.x.reset();
    splash_display_lost = false;
    return true;
}

splash_size splash_screen_size()
{
    const x_display& x = *backend().x;
    return {DisplayWidth(x.display(), x.screen), DisplayHeight(x.display(), x.screen)};
}
