#include "png_bytes.h"

#include <algorithm>
#include <array>
#include <string>

namespace splash_test {

namespace {

std::uint32_t crc32(const unsigned char* data, std::size_t size)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> entries{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            entries[n] = c;
        }
        return entries;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i)
        c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void put32(splash_bytes& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(value >> shift));
}

void chunk(splash_bytes& png, const char* type, const splash_bytes& data)
{
    put32(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    put32(png, crc32(png.data() + start, png.size() - start));
}

splash_bytes header(std::uint32_t width, std::uint32_t height, unsigned char bit_depth, unsigned char colour_type)
{
    splash_bytes data;
    put32(data, width);
    put32(data, height);
    data.insert(data.end(), {bit_depth, colour_type, 0, 0, 0});
    return data;
}

// A zlib stream of stored blocks holding raw, as many as it needs.
splash_bytes stored_zlib(const splash_bytes& raw)
{
    splash_bytes out{0x78, 0x01};
    std::size_t offset = 0;
    do {
        const std::size_t size = std::min<std::size_t>(raw.size() - offset, 0xFFFF);
        const bool last = offset + size == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<unsigned char>(size));
        out.push_back(static_cast<unsigned char>(size >> 8));
        out.push_back(static_cast<unsigned char>(~size));
        out.push_back(static_cast<unsigned char>(~size >> 8));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(offset),
                   raw.begin() + static_cast<std::ptrdiff_t>(offset + size));
        offset += size;
    } while (offset < raw.size());
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (unsigned char byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    put32(out, b << 16 | a);
    return out;
}

const unsigned char kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

} // namespace

splash_bytes plain_png(std::uint32_t width, std::uint32_t height, std::uint32_t rgb)
{
    splash_bytes png(std::begin(kSignature), std::end(kSignature));
    chunk(png, "IHDR", header(width, height, 1, 3));
    chunk(png, "PLTE",
          {static_cast<unsigned char>(rgb >> 16), static_cast<unsigned char>(rgb >> 8),
           static_cast<unsigned char>(rgb)});
    // Every row: filter type 0, then all pixels palette entry 0.
    const splash_bytes raw(static_cast<std::size_t>(height) * (1 + (width + 7) / 8), 0);
    chunk(png, "IDAT", stored_zlib(raw));
    chunk(png, "IEND", {});
    return png;
}

splash_bytes png_without_pixels(std::uint32_t width, std::uint32_t height)
{
    splash_bytes png(std::begin(kSignature), std::end(kSignature));
    chunk(png, "IHDR", header(width, height, 8, 6));
    chunk(png, "IDAT", stored_zlib({}));
    chunk(png, "IEND", {});
    return png;
}

} // namespace splash_test
