// The tables of libX11's and libXft's functions, filled from the libraries
// on first use.
#include "splash_x11_posix.h"

#include "splash_library_posix.h"

namespace {

xlib_functions load_xlib()
{
    xlib_functions table;
    splash_library library("libX11.so.6");
    SPLASH_FIND(library, table, XOpenDisplay);
    SPLASH_FIND(library, table, XCloseDisplay);
    SPLASH_FIND(library, table, XMatchVisualInfo);
    SPLASH_FIND(library, table, XSetErrorHandler);
    SPLASH_FIND(library, table, XSetIOErrorHandler);
    // libX11 1.8 and later: a lost display need not end the process.
    SPLASH_FIND(library, table, XSetIOErrorExitHandler);
    SPLASH_FIND(library, table, XCreateColormap);
    SPLASH_FIND(library, table, XFreeColormap);
    SPLASH_FIND(library, table, XCreateWindow);
    SPLASH_FIND(library, table, XDestroyWindow);
    SPLASH_FIND(library, table, XStoreName);
    SPLASH_FIND(library, table, XMoveResizeWindow);
    SPLASH_FIND(library, table, XMapRaised);
    SPLASH_FIND(library, table, XSetWindowBackgroundPixmap);
    SPLASH_FIND(library, table, XClearWindow);
    SPLASH_FIND(library, table, XCreatePixmap);
    SPLASH_FIND(library, table, XFreePixmap);
    SPLASH_FIND(library, table, XCreateGC);
    SPLASH_FIND(library, table, XFreeGC);
    SPLASH_FIND(library, table, XSetForeground);
    SPLASH_FIND(library, table, XFillRectangle);
    SPLASH_FIND(library, table, XCopyArea);
    SPLASH_FIND(library, table, XInitImage);
    SPLASH_FIND(library, table, XPutImage);
    SPLASH_FIND(library, table, XSync);
    SPLASH_FIND(library, table, XPending);
    SPLASH_FIND(library, table, XNextEvent);
    table.failure = library.failure();
    return table;
}

xft_functions load_xft()
{
    xft_functions table;
    splash_library library("libXft.so.2");
    SPLASH_FIND(library, table, XftFontOpen);
    SPLASH_FIND(library, table, XftFontClose);
    SPLASH_FIND(library, table, XftDrawCreate);
    SPLASH_FIND(library, table, XftDrawDestroy);
    SPLASH_FIND(library, table, XftColorAllocValue);
    SPLASH_FIND(library, table, XftColorFree);
    SPLASH_FIND(library, table, XftDrawStringUtf8);
    table.failure = library.failure();
    return table;
}

} // namespace

const xlib_functions& xlib()
{
    static const xlib_functions table = load_xlib();
    return table;
}

const xft_functions& xft()
{
    static const xft_functions table = load_xft();
    return table;
}
