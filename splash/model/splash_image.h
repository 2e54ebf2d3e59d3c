// PNG pictures for the splash window, from the program itself or from bytes.
// Both loaders run on the splash thread; every failure ends in an empty
// bitmap and a line, never in an error raised to the caller.
#pragma once

#include "splash_bitmap.h"

#include <vector>

using splash_bytes = std::vector<unsigned char>;

// The picture embedded in the program as "IDI_SPLASHIMAGE" of type "PNG":
// a resource on Windows, bytes linked into the program on Linux (see
// splash_embed_picture in splash/CMakeLists.txt).
splash_bitmap load_resource_splash_image();

// The picture from a complete PNG file in memory; the bytes are copied.
splash_bitmap load_png_splash_image(const splash_bytes& png);
