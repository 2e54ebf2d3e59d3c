// Frames on X: the picture's pixels uploaded into a pixmap of the splash's
// display, and copies of one pixmap into another.
#include "splash_backend.h"

#include "splash_connection_posix.h"
#include "splash_pixels_posix.h"

#include <cstdint>

using namespace splash_x11;

namespace {

splash_frame new_frame(const backend_state& b, unsigned width, unsigned height)
{
    Display* display = b.x->display();
    splash_frame frame(new splash_pixmap);
    frame.get()->pixmap.reset({display, xlib().XCreatePixmap(display, b.window.get().id, width, height, kDepth)});
    frame.get()->display_serial = b.x->serial;
    return frame;
}

} // namespace

void splash_frame_traits::close(splash_pixmap* frame) noexcept
{
    const backend_state& b = backend();
    // A frame of a display that was lost goes without a request.
    if (!b.x || b.x->serial != frame->display_serial)
        (void)frame->pixmap.release();
    delete frame;
}

splash_size splash_picture_size(const splash_bitmap& picture)
{
    return {picture.get()->width, picture.get()->height};
}

// The picture's pixels go to the server as they are where the visual allows,
// turned into the visual's in place where it does not: the picture is not
// needed once sent. The alpha channel is dropped, as in the 24-bit frames on
// Windows, so fully transparent pixels become black.
splash_frame splash_frame_of(splash_bitmap picture)
{
    const backend_state& b = backend();
    const x_display& x = *b.x;
    splash_pixels& pixels = *picture.get();
    if (x.takes_argb()) {
        for (std::uint32_t& pixel : pixels.argb)
            pixel &= 0xFFFFFF;
    } else {
        for (std::uint32_t& pixel : pixels.argb)
            pixel = static_cast<std::uint32_t>(x.pixel(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF));
    }
    XImage image{};
    image.width = pixels.width;
    image.height = pixels.height;
    image.format = ZPixmap;
    image.data = reinterpret_cast<char*>(pixels.argb.data());
    image.byte_order = host_is_little_endian() ? LSBFirst : MSBFirst;
    image.bitmap_unit = 32;
    image.bitmap_bit_order = image.byte_order;
    image.bitmap_pad = 32;
    image.depth = kDepth;
    image.bytes_per_line = 4 * pixels.width;
    image.bits_per_pixel = 32;
    image.red_mask = x.red.mask;
    image.green_mask = x.green.mask;
    image.blue_mask = x.blue.mask;
    const xlib_functions& x11 = xlib();
    x11.XInitImage(&image);

    const auto width = static_cast<unsigned>(pixels.width);
    const auto height = static_cast<unsigned>(pixels.height);
    splash_frame frame = new_frame(b, width, height);
    x11.XPutImage(x.display(), frame.get()->id(), x.gc.get().gc, &image, 0, 0, 0, 0, width, height);
    return frame;
}

splash_frame splash_copy_frame(splash_pixmap* source, splash_size size)
{
    const backend_state& b = backend();
    const auto width = static_cast<unsigned>(size.width);
    const auto height = static_cast<unsigned>(size.height);
    splash_frame frame = new_frame(b, width, height);
    xlib().XCopyArea(b.x->display(), source->id(), frame.get()->id(), b.x->gc.get().gc, 0, 0, width, height, 0, 0);
    return frame;
}
