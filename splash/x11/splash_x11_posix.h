// libX11 and libXft, opened when the splash first needs them (see
// splash_library_posix.h): libX11 by a show, libXft (and with it
// fontconfig and freetype) by the first text drawn, so that the picture is
// on the screen before any font work begins.
#pragma once

#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <string>

struct xlib_functions {
    decltype(&::XOpenDisplay) XOpenDisplay = nullptr;
    decltype(&::XCloseDisplay) XCloseDisplay = nullptr;
    decltype(&::XMatchVisualInfo) XMatchVisualInfo = nullptr;
    decltype(&::XSetErrorHandler) XSetErrorHandler = nullptr;
    decltype(&::XSetIOErrorHandler) XSetIOErrorHandler = nullptr;
    decltype(&::XSetIOErrorExitHandler) XSetIOErrorExitHandler = nullptr;
    decltype(&::XCreateColormap) XCreateColormap = nullptr;
    decltype(&::XFreeColormap) XFreeColormap = nullptr;
    decltype(&::XCreateWindow) XCreateWindow = nullptr;
    decltype(&::XDestroyWindow) XDestroyWindow = nullptr;
    decltype(&::XStoreName) XStoreName = nullptr;
    decltype(&::XMoveResizeWindow) XMoveResizeWindow = nullptr;
    decltype(&::XMapRaised) XMapRaised = nullptr;
    decltype(&::XSetWindowBackgroundPixmap) XSetWindowBackgroundPixmap = nullptr;
    decltype(&::XClearWindow) XClearWindow = nullptr;
    decltype(&::XCreatePixmap) XCreatePixmap = nullptr;
    decltype(&::XFreePixmap) XFreePixmap = nullptr;
    decltype(&::XCreateGC) XCreateGC = nullptr;
    decltype(&::XFreeGC) XFreeGC = nullptr;
    decltype(&::XSetForeground) XSetForeground = nullptr;
    decltype(&::XFillRectangle) XFillRectangle = nullptr;
    decltype(&::XCopyArea) XCopyArea = nullptr;
    decltype(&::XInitImage) XInitImage = nullptr;
    decltype(&::XPutImage) XPutImage = nullptr;
    decltype(&::XSync) XSync = nullptr;
    decltype(&::XPending) XPending = nullptr;
    decltype(&::XNextEvent) XNextEvent = nullptr;
    // Empty when every function above was found.
    std::string failure;
};

struct xft_functions {
    decltype(&::XftFontOpen) XftFontOpen = nullptr;
    decltype(&::XftFontClose) XftFontClose = nullptr;
    decltype(&::XftDrawCreate) XftDrawCreate = nullptr;
    decltype(&::XftDrawDestroy) XftDrawDestroy = nullptr;
    decltype(&::XftColorAllocValue) XftColorAllocValue = nullptr;
    decltype(&::XftColorFree) XftColorFree = nullptr;
    decltype(&::XftDrawStringUtf8) XftDrawStringUtf8 = nullptr;
    std::string failure;
};

// Opened by the first call, on the splash thread, and kept. Their failure
// says why a table cannot be used, as a line for the splash to write.
const xlib_functions& xlib();
const xft_functions& xft();
