// The table of libpng's functions, filled from the library on first use.
#include "splash_png_posix.h"

#include "splash_library_posix.h"

namespace {

// The library whose header the splash was built with.
#define SPLASH_STRING(x) #x
#define SPLASH_PNG_NAME(number) "libpng" SPLASH_STRING(number) ".so." SPLASH_STRING(number)

png_functions load_libpng()
{
    png_functions table;
    splash_library library(SPLASH_PNG_NAME(PNG_LIBPNG_VER_SONUM));
    SPLASH_FIND(library, table, png_sig_cmp);
    SPLASH_FIND(library, table, png_create_read_struct);
    SPLASH_FIND(library, table, png_create_info_struct);
    SPLASH_FIND(library, table, png_destroy_read_struct);
    SPLASH_FIND(library, table, png_set_longjmp_fn);
    SPLASH_FIND(library, table, png_longjmp);
    SPLASH_FIND(library, table, png_error);
    SPLASH_FIND(library, table, png_set_read_fn);
    SPLASH_FIND(library, table, png_get_io_ptr);
    SPLASH_FIND(library, table, png_set_user_limits);
    SPLASH_FIND(library, table, png_set_chunk_malloc_max);
    SPLASH_FIND(library, table, png_set_chunk_cache_max);
    SPLASH_FIND(library, table, png_set_option);
    SPLASH_FIND(library, table, png_set_keep_unknown_chunks);
    SPLASH_FIND(library, table, png_read_info);
    SPLASH_FIND(library, table, png_get_image_width);
    SPLASH_FIND(library, table, png_get_image_height);
    SPLASH_FIND(library, table, png_get_color_type);
    SPLASH_FIND(library, table, png_get_valid);
    SPLASH_FIND(library, table, png_set_expand);
    SPLASH_FIND(library, table, png_set_strip_16);
    SPLASH_FIND(library, table, png_set_gray_to_rgb);
    SPLASH_FIND(library, table, png_set_add_alpha);
    SPLASH_FIND(library, table, png_set_bgr);
    SPLASH_FIND(library, table, png_set_interlace_handling);
    SPLASH_FIND(library, table, png_read_update_info);
    SPLASH_FIND(library, table, png_get_rowbytes);
    SPLASH_FIND(library, table, png_read_image);
    table.failure = library.failure();
    return table;
}

} // namespace

const png_functions& libpng()
{
    static const png_functions table = load_libpng();
    return table;
}
