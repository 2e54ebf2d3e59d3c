/* The floor for the Linux splash: the least a program can do to put a PNG on
 * the screen. Linked against libX11 and libpng (no dlopen, no fonts, no
 * threads): decode, open the display, map an override-redirect window in the
 * middle of the screen, draw the picture once it is exposed, then wait to be
 * ended.
 * Usage: x_splash_floor PICTURE.png */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <png.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: x_splash_floor PICTURE.png\n");
        return 2;
    }
    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, argv[1]))
        return 2;
    image.format = PNG_FORMAT_BGRA;
    unsigned char* pixels = malloc(PNG_IMAGE_SIZE(image));
    if (pixels == NULL || !png_image_finish_read(&image, NULL, pixels, 0, NULL))
        return 2;

    Display* display = XOpenDisplay(NULL);
    if (display == NULL)
        return 2;
    int screen = DefaultScreen(display);
    int width = (int)image.width, height = (int)image.height;
    XSetWindowAttributes attributes;
    attributes.override_redirect = True;
    attributes.event_mask = ExposureMask;
    Window window = XCreateWindow(display, RootWindow(display, screen),
        (DisplayWidth(display, screen) - width) / 2, (DisplayHeight(display, screen) - height) / 2,
        (unsigned)width, (unsigned)height, 0, CopyFromParent, InputOutput, CopyFromParent,
        CWOverrideRedirect | CWEventMask, &attributes);
    XImage* frame = XCreateImage(display, DefaultVisual(display, screen), 24, ZPixmap, 0, (char*)pixels,
        (unsigned)width, (unsigned)height, 32, 0);
    GC gc = XCreateGC(display, window, 0, NULL);
    XMapWindow(display, window);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == Expose && event.xexpose.count == 0) {
            XPutImage(display, window, gc, frame, 0, 0, 0, 0, (unsigned)width, (unsigned)height);
            XFlush(display);
        }
    }
}
