/* Starts a command (its output discarded) and reports when its first top-level window of the given
 * size is mapped, and when the screen shows the expected colour at that
 * window's centre: the picture is there.
 * Usage: x_map_probe TIMEOUT_MS WIDTH HEIGHT RRGGBB COMMAND [ARG...]
 * Prints "MAP_MS PIXELS_MS" in milliseconds since the spawn (-1: not seen),
 * then ends the command. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

static double now_ms(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

static int has_size(Display* display, Window window, int width, int height, XWindowAttributes* attributes)
{
    return XGetWindowAttributes(display, window, attributes) && attributes->width == width &&
           attributes->height == height && attributes->map_state == IsViewable;
}

static void end_child(pid_t pid)
{
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, NULL, WNOHANG) == pid)
            return;
        usleep(10000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, NULL, 0);
}

static int ignore_errors(Display* display, XErrorEvent* error)
{
    (void)display;
    (void)error;
    return 0; /* a window may be gone between the event and the query */
}

int main(int argc, char** argv)
{
    if (argc < 6) {
        fprintf(stderr, "usage: x_map_probe TIMEOUT_MS WIDTH HEIGHT RRGGBB COMMAND [ARG...]\n");
        return 2;
    }
    const double timeout = atof(argv[1]);
    const int width = atoi(argv[2]), height = atoi(argv[3]);
    const unsigned long expected = strtoul(argv[4], NULL, 16);
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "x_map_probe: no display\n");
        return 2;
    }
    XSetErrorHandler(ignore_errors);
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    // The command's own output would mix with the result.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const double start = now_ms();
    pid_t pid;
    if (posix_spawnp(&pid, argv[5], &actions, NULL, argv + 5, environ) != 0) {
        fprintf(stderr, "x_map_probe: cannot start %s\n", argv[5]);
        return 2;
    }
    double mapped = -1, shown = -1;
    Window target = 0;
    int cx = 0, cy = 0;
    while (now_ms() - start < timeout && shown < 0) {
        if (target == 0) {
            struct pollfd fd = {ConnectionNumber(display), POLLIN, 0};
            if (XPending(display) == 0)
                poll(&fd, 1, 5);
            while (XPending(display) > 0 && target == 0) {
                XEvent event;
                XNextEvent(display, &event);
                Window candidate = 0;
                if (event.type == MapNotify)
                    candidate = event.xmap.window;
                else if (event.type == ConfigureNotify)
                    candidate = event.xconfigure.window;
                XWindowAttributes attributes;
                if (candidate != 0 && has_size(display, candidate, width, height, &attributes)) {
                    mapped = now_ms() - start;
                    target = candidate;
                    cx = attributes.x + width / 2;
                    cy = attributes.y + height / 2;
                }
            }
            continue;
        }
        XImage* image = XGetImage(display, root, cx, cy, 1, 1, AllPlanes, ZPixmap);
        if (image != NULL) {
            if ((XGetPixel(image, 0, 0) & 0xFFFFFF) == expected)
                shown = now_ms() - start;
            XDestroyImage(image);
        }
        // Not a busy loop: on two cores it would take one from the program
        // and the X server that it measures.
        if (shown < 0)
            usleep(100);
    }
    printf("%.2f %.2f\n", mapped, shown);
    fflush(stdout);
    end_child(pid);
    XCloseDisplay(display);
    return mapped >= 0 && shown >= 0 ? 0 : 1;
}
