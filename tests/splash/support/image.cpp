#include "image.h"

#include <algorithm>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <stdexcept>

namespace splash_test {

std::ostream& operator<<(std::ostream& out, const rect& r)
{
    return out << r.width << "x" << r.height << " at (" << r.left << ", " << r.top << ")";
}

image::image(int width, int height, std::uint32_t colour)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, colour)
{
}

void image::fill(const rect& area, std::uint32_t colour)
{
    for (int y = std::max(area.top, 0); y < std::min(area.bottom(), height_); ++y)
        for (int x = std::max(area.left, 0); x < std::min(area.right(), width_); ++x)
            set(x, y, colour);
}

image image::crop(const rect& area) const
{
    image part(area.width, area.height);
    for (int y = 0; y < area.height; ++y)
        for (int x = 0; x < area.width; ++x)
            part.set(x, y, at(area.left + x, area.top + y));
    return part;
}

void image::save_bmp(const boost::filesystem::path& file) const
{
    // A bottom-up 24-bit BMP, rows padded to four bytes.
    const std::uint32_t row = (3u * width_ + 3u) & ~3u;
    const std::uint32_t data = row * height_;
    std::vector<unsigned char> bytes(54 + data, 0);
    auto put = [&bytes](std::size_t at, std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(2, 54 + data, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(width_), 4);
    put(22, static_cast<std::uint32_t>(height_), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, data, 4);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            put(54 + static_cast<std::size_t>(height_ - 1 - y) * row + 3u * x, at(x, y), 3);
    std::ofstream out(file.string().c_str(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

std::string difference(const image& seen, const image& expected)
{
    std::ostringstream text;
    if (seen.width() != expected.width() || seen.height() != expected.height()) {
        text << "size " << seen.width() << "x" << seen.height() << ", expected " << expected.width() << "x"
             << expected.height();
        return text.str();
    }
    std::size_t count = 0;
    for (int y = 0; y < seen.height(); ++y)
        for (int x = 0; x < seen.width(); ++x)
            if (seen.at(x, y) != expected.at(x, y)) {
                if (count++ == 0)
                    text << " first at (" << x << ", " << y << "): " << std::hex << std::setfill('0') << std::setw(6)
                         << seen.at(x, y) << ", expected " << std::setw(6) << expected.at(x, y) << std::dec;
            }
    if (count == 0)
        return std::string();
    return std::to_string(count) + " pixels differ;" + text.str();
}

} // namespace splash_test
