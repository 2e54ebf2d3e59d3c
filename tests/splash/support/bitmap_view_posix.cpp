#include "bitmap_view.h"

#include "splash_pixels_posix.h"

namespace splash_test {

bitmap_view view_of(const splash_bitmap& bitmap)
{
    bitmap_view view;
    view.width = bitmap.get()->width;
    view.height = bitmap.get()->height;
    view.bits_per_pixel = 32;
    view.top_down = true;
    view.argb = bitmap.get()->argb;
    return view;
}

} // namespace splash_test
