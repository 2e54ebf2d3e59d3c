#include "x_windows_posix.h"

#include <X11/Xutil.h>

#include <cstdio>
#include <memory>
#include <mutex>

namespace x_windows {

namespace {

int report_error(Display* display, XErrorEvent* error)
{
    // BadWindow and BadDrawable: the window went between listing and asking.
    if (error->error_code == BadWindow || error->error_code == BadDrawable)
        return 0;
    char text[256] = {};
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "X error in a test's request (opcode %d): %s\n", error->request_code, text);
    return 0;
}

} // namespace

void tolerate_vanishing_windows()
{
    static std::once_flag installed;
    std::call_once(installed, [] { XSetErrorHandler(report_error); });
}

std::vector<top_level> viewable_top_levels(Display* display)
{
    tolerate_vanishing_windows();
    std::vector<top_level> found;
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return found;
    std::unique_ptr<Window, int (*)(void*)> owned(children, XFree);
    for (unsigned i = 0; i < count; ++i) {
        top_level window{children[i], {}, {}};
        if (!XGetWindowAttributes(display, window.id, &window.attributes) ||
            window.attributes.map_state != IsViewable)
            continue;
        XTextProperty name{};
        if (!XGetWMName(display, window.id, &name) || name.value == nullptr)
            continue;
        window.name.assign(reinterpret_cast<const char*>(name.value), name.nitems);
        XFree(name.value);
        found.push_back(std::move(window));
    }
    return found;
}

} // namespace x_windows
