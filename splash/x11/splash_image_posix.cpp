// PNG pictures on Linux: libpng decodes them from memory, within the size
// limits, into premultiplied pixels for the window to upload.
#include "splash_image.h"

#include "splash_output.h"
#include "splash_picture_size.h"
#include "splash_pixels_posix.h"
#include "splash_png_posix.h"

#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

void splash_bitmap_traits::close(splash_pixels* bitmap) noexcept
{
    delete bitmap;
}

namespace {

// The bytes of a picture being decoded, as the Windows loader keeps them in
// a memory stream; the loaders' callers keep them while it is read.
struct png_stream {
    const unsigned char* bytes = nullptr;
    std::size_t size = 0;
    std::size_t offset = 0;
};

void read_from_stream(png_structp png, png_bytep out, png_size_t length)
{
    const png_functions& lib = libpng();
    auto* stream = static_cast<png_stream*>(lib.png_get_io_ptr(png));
    if (length > stream->size - stream->offset) {
        lib.png_error(png, "read past the end of the picture");
        return;
    }
    std::memcpy(out, stream->bytes + stream->offset, length);
    stream->offset += length;
}

// libpng would print its messages; the loaders write their own lines.
void quiet_error(png_structp png, png_const_charp)
{
    libpng().png_longjmp(png, 1);
}

void quiet_warning(png_structp, png_const_charp) {}

// What png_jmpbuf gives, from the library opened at run time.
jmp_buf& jump_buffer(png_structp png)
{
    return *libpng().png_set_longjmp_fn(png, longjmp, sizeof(jmp_buf));
}

enum class decode_result { decoded, refused, failed };

struct png_header {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    bool transparent = false;
};

// libpng reports errors by longjmp. No object with a destructor lives in the
// frames that a longjmp may leave: these two functions hold plain values
// only, and everything they fill belongs to their caller.
decode_result read_header(png_structp png, png_infop info, png_header* header)
{
    const png_functions& lib = libpng();
    if (setjmp(jump_buffer(png))) {
        // libpng keeps the size that the header declares before it checks
        // it against the user limits: tell a refused size from a broken file.
        header->width = lib.png_get_image_width(png, info);
        header->height = lib.png_get_image_height(png, info);
        return header->width != 0 && header->height != 0 && !splash_size_allowed(header->width, header->height)
                   ? decode_result::refused
                   : decode_result::failed;
    }
    lib.png_read_info(png, info);
    header->width = lib.png_get_image_width(png, info);
    header->height = lib.png_get_image_height(png, info);
    if (!splash_size_allowed(header->width, header->height))
        return decode_result::refused;
    header->transparent = (lib.png_get_color_type(png, info) & PNG_COLOR_MASK_ALPHA) != 0 ||
                          lib.png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    // Any PNG to 8-bit BGRA, with no gamma or colour correction (as the
    // Windows decoder does it): on a little-endian machine each pixel reads
    // as 0xAARRGGBB, what the bitmap holds, so the rows go straight into it.
    lib.png_set_expand(png);
    lib.png_set_strip_16(png);
    lib.png_set_gray_to_rgb(png);
    lib.png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    lib.png_set_bgr(png);
    lib.png_set_interlace_handling(png);
    lib.png_read_update_info(png, info);
    return lib.png_get_rowbytes(png, info) == 4 * static_cast<png_size_t>(header->width) ? decode_result::decoded
                                                                                         : decode_result::failed;
}

bool read_rows(png_structp png, png_bytepp rows)
{
    if (setjmp(jump_buffer(png)))
        return false;
    libpng().png_read_image(png, rows);
    return true;
}

class png_reader {
public:
    png_reader()
        : png(libpng().png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, quiet_error, quiet_warning)),
          info(png != nullptr ? libpng().png_create_info_struct(png) : nullptr)
    {
    }
    ~png_reader()
    {
        if (png != nullptr)
            libpng().png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
    }
    png_reader(const png_reader&) = delete;
    png_reader& operator=(const png_reader&) = delete;

    png_structp png;
    png_infop info;
};

constexpr std::size_t kSignatureSize = 8;

// Ancillary chunks (texts, colour profiles), which a splash does not use,
// may take this much memory each once decompressed, and only so many are
// kept.
constexpr png_alloc_size_t kMostChunkBytes = 8u << 20;
constexpr png_uint_32 kMostAncillaryChunks = 128;

// The pixels in place: 0xAARRGGBB, colours premultiplied by alpha.
void finish_pixels(std::vector<std::uint32_t>& argb, bool transparent)
{
    if (!host_is_little_endian())
        for (std::uint32_t& pixel : argb)
            pixel = pixel >> 24 | (pixel >> 8 & 0xFF00) | (pixel << 8 & 0xFF0000) | pixel << 24;
    if (!transparent)
        return;
    for (std::uint32_t& pixel : argb) {
        const std::uint32_t alpha = pixel >> 24;
        if (alpha == 0xFF)
            continue;
        auto scale = [alpha](std::uint32_t channel) { return (channel * alpha + 127) / 255; };
        pixel = (alpha << 24) | (scale(pixel >> 16 & 0xFF) << 16) | (scale(pixel >> 8 & 0xFF) << 8) |
                scale(pixel & 0xFF);
    }
}

// Decodes straight into the bitmap's pixels. Writes its line when the
// picture cannot be decoded; a refused size is left to the caller, which
// has the size in header.
decode_result decode_png_stream(png_stream& stream, png_header& header, splash_bitmap& bitmap)
{
    const png_functions& lib = libpng();
    if (!lib.failure.empty()) {
        splash_line(lib.failure);
        return decode_result::failed;
    }
    png_reader reader;
    if (reader.png == nullptr || reader.info == nullptr) {
        splash_line("Failed to create instance of PNG decoder");
        return decode_result::failed;
    }
    lib.png_set_read_fn(reader.png, &stream, read_from_stream);
    // libpng itself refuses a wider or higher picture while it reads the
    // header, before anything of the image is allocated.
    lib.png_set_user_limits(reader.png, kSplashMostSide, kSplashMostSide);
    lib.png_set_chunk_malloc_max(reader.png, kMostChunkBytes);
    lib.png_set_chunk_cache_max(reader.png, kMostAncillaryChunks);
    // Each chunk's CRC-32 already guards the compressed bytes; the zlib
    // stream's own Adler-32 of every decompressed byte took a quarter of
    // the decoding time.
    lib.png_set_option(reader.png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    // Only the pixels matter. Every ancillary chunk but the palette's
    // transparency is skipped unread: libpng would read a text chunk whole
    // into memory, and a zTXt that declares 1.6 GB was asked for all of it.
    static const png_byte ignored[] = "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0pHYs\0sBIT\0"
                                      "sCAL\0sPLT\0sRGB\0tEXt\0tIME\0zTXt";
    lib.png_set_keep_unknown_chunks(reader.png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    lib.png_set_keep_unknown_chunks(reader.png, PNG_HANDLE_CHUNK_NEVER, ignored, sizeof ignored / 5);
    const decode_result read = stream.size < kSignatureSize || lib.png_sig_cmp(stream.bytes, 0, kSignatureSize) != 0
                                   ? decode_result::failed
                                   : read_header(reader.png, reader.info, &header);
    if (read != decode_result::decoded) {
        if (read == decode_result::failed)
            splash_line("Failed to initialize PNG decoder");
        return read;
    }
    if (header.width == 0 || header.height == 0)
        return decode_result::decoded;
    // A PNG holds one image: the frame count is always 1 here.
    bitmap.reset(new splash_pixels);
    bitmap.get()->width = static_cast<std::int32_t>(header.width);
    bitmap.get()->height = static_cast<std::int32_t>(header.height);
    bitmap.get()->argb.resize(static_cast<std::size_t>(header.width) * header.height);
    std::vector<png_bytep> rows(header.height);
    for (png_uint_32 y = 0; y < header.height; ++y)
        rows[y] = reinterpret_cast<png_bytep>(bitmap.get()->argb.data() + static_cast<std::size_t>(y) * header.width);
    if (!read_rows(reader.png, rows.data())) {
        bitmap.reset();
        splash_line("Failed to load first frame");
        return decode_result::failed;
    }
    finish_pixels(bitmap.get()->argb, header.transparent);
    return decode_result::decoded;
}

splash_bitmap bitmap_from_stream(png_stream* stream)
{
    if (stream == nullptr) {
        splash_line("Failed to create image stream");
        return {};
    }
    png_header header;
    splash_bitmap bitmap;
    switch (decode_png_stream(*stream, header, bitmap)) {
    case decode_result::decoded:
        break;
    case decode_result::refused:
        splash_error_line(splash_size_refusal(header.width, header.height));
        return {};
    case decode_result::failed:
        splash_line("Failed to load bitmap from stream");
        return {};
    }
    if (!bitmap)
        splash_error_line("Failed to get bitmap size");
    return bitmap;
}

// An empty picture makes no stream, as a zero-size memory block does not on
// Windows.
std::unique_ptr<png_stream> stream_on(const unsigned char* bytes, std::size_t size)
{
    if (size == 0)
        return nullptr;
    auto stream = std::make_unique<png_stream>();
    stream->bytes = bytes;
    stream->size = size;
    return stream;
}

} // namespace

// The program's embedded picture (splash_embed_picture): two symbols that
// the build generates into the program, or none. Weak references, found by
// the linker and null in a program without them, rather than looked up at
// run time: a lookup waits for the program loader, which another thread may
// be holding (the launcher's main thread loads libraries meanwhile).
extern "C" {
extern const unsigned char splash_resource_PNG_IDI_SPLASHIMAGE[] __attribute__((weak));
extern const unsigned long long splash_resource_PNG_IDI_SPLASHIMAGE_size __attribute__((weak));
}

splash_bitmap load_resource_splash_image()
{
    splash_line(std::string("Create stream on resource: ") + "IDI_SPLASHIMAGE" + " type: " + "PNG");
    std::unique_ptr<png_stream> stream;
    const unsigned char* bytes = splash_resource_PNG_IDI_SPLASHIMAGE;
    const unsigned long long* size = &splash_resource_PNG_IDI_SPLASHIMAGE_size;
    if (bytes == nullptr || size == nullptr)
        splash_line("Resource is not found");
    else
        stream = stream_on(bytes, static_cast<std::size_t>(*size));
    return bitmap_from_stream(stream.get());
}

splash_bitmap load_png_splash_image(const splash_bytes& png)
{
    return bitmap_from_stream(stream_on(png.data(), png.size()).get());
}
