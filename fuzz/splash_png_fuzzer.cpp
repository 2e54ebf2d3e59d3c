// Splash pictures that Java hands over as bytes: load_png_splash_image on
// Linux (libpng). Any bytes end in a picture of the size the file declares
// (within the splash's bounds: 1 to 8192 a side, 16 Mi pixels in all) with
// premultiplied pixels, or in no picture and
// at least one line saying why; never in a crash, a hang or a huge
// allocation (libFuzzer's -malloc_limit_mb reports that).
//
// libpng rejects a chunk whose CRC does not match, which would stop almost
// every mutation at the first chunk. The target writes the right CRC into
// every whole chunk before loading, as anyone who crafts a file would.
#include "splash_image.h"
#include "splash_picture_size.h"
#include "splash_pixels_posix.h"

#include "fuzz_support.h"

#include <zlib.h>

#include <iostream>
#include <sstream>

namespace {

constexpr std::size_t kSignatureSize = 8;

std::uint32_t bigEndian(const unsigned char* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

void fixChunkCrcs(splash_bytes& png)
{
    std::size_t offset = kSignatureSize;
    while (offset + 12 <= png.size()) {
        const std::size_t length = bigEndian(&png[offset]);
        if (length > png.size() - offset - 12)
            break;
        unsigned char* typeAndData = &png[offset + 4];
        const uLong crc = crc32(0L, typeAndData, static_cast<uInt>(4 + length));
        unsigned char* out = typeAndData + 4 + length;
        out[0] = static_cast<unsigned char>(crc >> 24);
        out[1] = static_cast<unsigned char>(crc >> 16);
        out[2] = static_cast<unsigned char>(crc >> 8);
        out[3] = static_cast<unsigned char>(crc);
        offset += 12 + length;
    }
}

// The lines the loader writes, kept from the terminal and counted.
class CapturedOutput {
public:
    CapturedOutput() : out_(std::cout.rdbuf(lines_.rdbuf())), err_(std::cerr.rdbuf(lines_.rdbuf())) {}
    ~CapturedOutput()
    {
        std::cout.rdbuf(out_);
        std::cerr.rdbuf(err_);
    }
    CapturedOutput(const CapturedOutput&) = delete;
    CapturedOutput& operator=(const CapturedOutput&) = delete;
    std::string text() const { return lines_.str(); }

private:
    std::ostringstream lines_;
    std::streambuf* out_;
    std::streambuf* err_;
};

bool isPremultiplied(std::uint32_t argb)
{
    const std::uint32_t alpha = argb >> 24;
    return ((argb >> 16) & 0xFF) <= alpha && ((argb >> 8) & 0xFF) <= alpha && (argb & 0xFF) <= alpha;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    splash_bytes png(data, data + size);
    fixChunkCrcs(png);

    splash_bitmap bitmap;
    std::string lines;
    {
        CapturedOutput output;
        bitmap = load_png_splash_image(png);
        lines = output.text();
    }
    if (!bitmap) {
        FUZZ_CHECK(!lines.empty() && lines.back() == '\n', "no picture and no line");
        return 0;
    }
    const splash_pixels& picture = *bitmap.get();
    FUZZ_CHECK(picture.width >= 1 && picture.height >= 1 &&
                   splash_size_allowed(static_cast<std::uint32_t>(picture.width),
                                       static_cast<std::uint32_t>(picture.height)),
               "picture of " + std::to_string(picture.width) + " x " + std::to_string(picture.height));
    if (size >= 24)
        FUZZ_CHECK(bigEndian(&png[16]) == static_cast<std::uint32_t>(picture.width) &&
                       bigEndian(&png[20]) == static_cast<std::uint32_t>(picture.height),
                   "not the size that the header declares");
    FUZZ_CHECK(picture.argb.size() == static_cast<std::size_t>(picture.width) * picture.height,
               "pixel count differs from the size");
    for (std::uint32_t pixel : picture.argb)
        FUZZ_CHECK(isPremultiplied(pixel), "a colour channel above its alpha");
    return 0;
}
