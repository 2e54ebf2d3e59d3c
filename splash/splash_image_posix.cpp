#include "splash_image.h"

#include "splash_output.h"
#include "splash_picture_size.h"
#include "splash_pixels_posix.h"

#include <dlfcn.h>
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <string>

void splash_bitmap_deleter::operator()(splash_pixels* bitmap) const noexcept
{
    delete bitmap;
}

namespace {

// The bytes of a picture being decoded, as the Windows loader keeps them in
// a memory stream.
struct png_stream {
    splash_bytes bytes;
    std::size_t offset = 0;
};

struct decoded_png {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    std::vector<png_byte> rgba; // straight (not premultiplied) alpha
};

void read_from_stream(png_structp png, png_bytep out, png_size_t length)
{
    auto* stream = static_cast<png_stream*>(png_get_io_ptr(png));
    if (length > stream->bytes.size() - stream->offset)
        png_error(png, "read past the end of the picture");
    std::memcpy(out, stream->bytes.data() + stream->offset, length);
    stream->offset += length;
}

// libpng would print its messages; the loaders write their own lines.
void quiet_error(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void quiet_warning(png_structp, png_const_charp) {}

enum class decode_result { decoded, refused, failed };

// libpng reports errors by longjmp. No object with a destructor lives in the
// frames that a longjmp may leave: these two functions hold plain values
// only, and everything they fill belongs to their caller.
decode_result read_header(png_structp png, png_infop info, png_uint_32* width, png_uint_32* height)
{
    if (setjmp(png_jmpbuf(png))) {
        // libpng keeps the size that the header declares before it checks
        // it against the user limits: tell a refused size from a broken file.
        *width = png_get_image_width(png, info);
        *height = png_get_image_height(png, info);
        return *width != 0 && *height != 0 && !splash_size_allowed(*width, *height) ? decode_result::refused
                                                                                     : decode_result::failed;
    }
    png_read_info(png, info);
    *width = png_get_image_width(png, info);
    *height = png_get_image_height(png, info);
    if (!splash_size_allowed(*width, *height))
        return decode_result::refused;
    // Any PNG to 8-bit RGBA, with no gamma or colour correction (as the
    // Windows decoder does it).
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return png_get_rowbytes(png, info) == 4 * static_cast<png_size_t>(*width) ? decode_result::decoded
                                                                               : decode_result::failed;
}

bool read_rows(png_structp png, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_image(png, rows);
    return true;
}

class png_reader {
public:
    png_reader()
        : png(png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, quiet_error, quiet_warning)),
          info(png != nullptr ? png_create_info_struct(png) : nullptr)
    {
    }
    ~png_reader()
    {
        if (png != nullptr)
            png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
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

// Writes its line when the picture cannot be decoded; a refused size is left
// to the caller, which has the size in decoded.
decode_result decode_png_stream(png_stream& stream, decoded_png& decoded)
{
    png_reader reader;
    if (reader.png == nullptr || reader.info == nullptr) {
        splash_line("Failed to create instance of PNG decoder");
        return decode_result::failed;
    }
    png_set_read_fn(reader.png, &stream, read_from_stream);
    // libpng itself refuses a wider or higher picture while it reads the
    // header, before anything of the image is allocated.
    png_set_user_limits(reader.png, kSplashMostSide, kSplashMostSide);
    png_set_chunk_malloc_max(reader.png, kMostChunkBytes);
    png_set_chunk_cache_max(reader.png, kMostAncillaryChunks);
    // Only the pixels matter. Every ancillary chunk but the palette's
    // transparency is skipped unread: libpng would read a text chunk whole
    // into memory, and a zTXt that declares 1.6 GB was asked for all of it.
    static const png_byte ignored[] = "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0pHYs\0sBIT\0"
                                      "sCAL\0sPLT\0sRGB\0tEXt\0tIME\0zTXt";
    png_set_keep_unknown_chunks(reader.png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_set_keep_unknown_chunks(reader.png, PNG_HANDLE_CHUNK_NEVER, ignored, sizeof ignored / 5);
    const decode_result header =
        stream.bytes.size() < kSignatureSize || png_sig_cmp(stream.bytes.data(), 0, kSignatureSize) != 0
            ? decode_result::failed
            : read_header(reader.png, reader.info, &decoded.width, &decoded.height);
    if (header != decode_result::decoded) {
        if (header == decode_result::failed)
            splash_line("Failed to initialize PNG decoder");
        return header;
    }
    // A PNG holds one image: the frame count is always 1 here.
    const std::size_t stride = 4 * static_cast<std::size_t>(decoded.width);
    decoded.rgba.assign(stride * decoded.height, 0);
    std::vector<png_bytep> rows(decoded.height);
    for (png_uint_32 y = 0; y < decoded.height; ++y)
        rows[y] = decoded.rgba.data() + y * stride;
    if (!read_rows(reader.png, rows.data())) {
        splash_line("Failed to load first frame");
        return decode_result::failed;
    }
    return decode_result::decoded;
}

std::uint32_t premultiplied(const png_byte* rgba)
{
    const unsigned alpha = rgba[3];
    auto scale = [alpha](unsigned channel) { return (channel * alpha + 127) / 255; };
    return (alpha << 24) | (scale(rgba[0]) << 16) | (scale(rgba[1]) << 8) | scale(rgba[2]);
}

splash_bitmap create_splash_bitmap(const decoded_png& decoded)
{
    if (decoded.width == 0 || decoded.height == 0) {
        splash_error_line("Failed to get bitmap size");
        return nullptr;
    }
    splash_bitmap bitmap(new splash_pixels);
    bitmap->width = static_cast<std::int32_t>(decoded.width);
    bitmap->height = static_cast<std::int32_t>(decoded.height);
    bitmap->argb.resize(static_cast<std::size_t>(decoded.width) * decoded.height);
    for (std::size_t i = 0; i < bitmap->argb.size(); ++i)
        bitmap->argb[i] = premultiplied(&decoded.rgba[4 * i]);
    return bitmap;
}

splash_bitmap bitmap_from_stream(png_stream* stream)
{
    if (stream == nullptr) {
        splash_line("Failed to create image stream");
        return nullptr;
    }
    decoded_png decoded;
    switch (decode_png_stream(*stream, decoded)) {
    case decode_result::decoded:
        break;
    case decode_result::refused:
        splash_error_line(splash_size_refusal(decoded.width, decoded.height));
        return nullptr;
    case decode_result::failed:
        splash_line("Failed to load bitmap from stream");
        return nullptr;
    }
    return create_splash_bitmap(decoded);
}

// An empty picture makes no stream, as a zero-size memory block does not on
// Windows.
std::unique_ptr<png_stream> stream_on_copy(const unsigned char* bytes, std::size_t size)
{
    if (size == 0)
        return nullptr;
    auto stream = std::make_unique<png_stream>();
    stream->bytes.assign(bytes, bytes + size);
    return stream;
}

// The program's embedded picture: two symbols that the build generates into
// the program (splash_embed_picture) and that the program exports.
const char* const kResourceSymbol = "splash_resource_PNG_IDI_SPLASHIMAGE";
const char* const kResourceSizeSymbol = "splash_resource_PNG_IDI_SPLASHIMAGE_size";

} // namespace

splash_bitmap load_resource_splash_image()
{
    splash_line(std::string("Create stream on resource: ") + "IDI_SPLASHIMAGE" + " type: " + "PNG");
    std::unique_ptr<png_stream> stream;
    void* program = dlopen(nullptr, RTLD_NOW);
    const void* bytes = program != nullptr ? dlsym(program, kResourceSymbol) : nullptr;
    const void* size = program != nullptr ? dlsym(program, kResourceSizeSymbol) : nullptr;
    if (bytes == nullptr || size == nullptr)
        splash_line("Resource is not found");
    else
        stream = stream_on_copy(static_cast<const unsigned char*>(bytes),
                                static_cast<std::size_t>(*static_cast<const unsigned long long*>(size)));
    if (program != nullptr)
        dlclose(program);
    return bitmap_from_stream(stream.get());
}

splash_bitmap load_png_splash_image(const splash_bytes& png)
{
    return bitmap_from_stream(stream_on_copy(png.data(), png.size()).get());
}
