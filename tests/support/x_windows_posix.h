// Other clients' windows as a test sees them. Any of them may be destroyed
// between two requests about it, and Xlib's default error handler would then
// end the test, so every question here survives a window that is gone.
#pragma once

#include <X11/Xlib.h>

#include <string>
#include <vector>

namespace x_windows {

struct top_level {
    Window id;
    std::string name; // WM_NAME's bytes
    XWindowAttributes attributes;
};

// Makes a request about a vanished window fail instead of ending the
// process; any other error is written to standard error and the request
// fails likewise. Process-wide and installed once (Xlib has one handler for
// all connections), so threads that ask at once do not undo each other.
void tolerate_vanishing_windows();

// The top-level windows that are mapped and viewable, in stacking order,
// with their names; one that goes while it is being asked about is left out.
std::vector<top_level> viewable_top_levels(Display* display);

} // namespace x_windows
