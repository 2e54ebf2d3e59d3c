// libpng, opened by the first picture the splash decodes (see
// splash_library_posix.h).
#pragma once

#include <png.h>

#include <string>

struct png_functions {
    decltype(&::png_sig_cmp) png_sig_cmp = nullptr;
    decltype(&::png_create_read_struct) png_create_read_struct = nullptr;
    decltype(&::png_create_info_struct) png_create_info_struct = nullptr;
    decltype(&::png_destroy_read_struct) png_destroy_read_struct = nullptr;
    decltype(&::png_set_longjmp_fn) png_set_longjmp_fn = nullptr;
    decltype(&::png_longjmp) png_longjmp = nullptr;
    decltype(&::png_error) png_error = nullptr;
    decltype(&::png_set_read_fn) png_set_read_fn = nullptr;
    decltype(&::png_get_io_ptr) png_get_io_ptr = nullptr;
    decltype(&::png_set_user_limits) png_set_user_limits = nullptr;
    decltype(&::png_set_chunk_malloc_max) png_set_chunk_malloc_max = nullptr;
    decltype(&::png_set_chunk_cache_max) png_set_chunk_cache_max = nullptr;
    decltype(&::png_set_option) png_set_option = nullptr;
    decltype(&::png_set_keep_unknown_chunks) png_set_keep_unknown_chunks = nullptr;
    decltype(&::png_read_info) png_read_info = nullptr;
    decltype(&::png_get_image_width) png_get_image_width = nullptr;
    decltype(&::png_get_image_height) png_get_image_height = nullptr;
    decltype(&::png_get_color_type) png_get_color_type = nullptr;
    decltype(&::png_get_valid) png_get_valid = nullptr;
    decltype(&::png_set_expand) png_set_expand = nullptr;
    decltype(&::png_set_strip_16) png_set_strip_16 = nullptr;
    decltype(&::png_set_gray_to_rgb) png_set_gray_to_rgb = nullptr;
    decltype(&::png_set_add_alpha) png_set_add_alpha = nullptr;
    decltype(&::png_set_bgr) png_set_bgr = nullptr;
    decltype(&::png_set_interlace_handling) png_set_interlace_handling = nullptr;
    decltype(&::png_read_update_info) png_read_update_info = nullptr;
    decltype(&::png_get_rowbytes) png_get_rowbytes = nullptr;
    decltype(&::png_read_image) png_read_image = nullptr;
    // Empty when every function above was found.
    std::string failure;
};

// Opened by the first call and kept.
const png_functions& libpng();
