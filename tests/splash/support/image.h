// Pixels as the tests compare them: 0xRRGGBB, row after row from the top.
#pragma once

#include <boost/filesystem.hpp>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace splash_test {

struct rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    int right() const { return left + width; }
    int bottom() const { return top + height; }
    bool operator==(const rect& other) const
    {
        return left == other.left && top == other.top && width == other.width && height == other.height;
    }
};
std::ostream& operator<<(std::ostream& out, const rect& r);

class image {
public:
    image() = default;
    image(int width, int height, std::uint32_t colour = 0);

    int width() const { return width_; }
    int height() const { return height_; }
    std::uint32_t at(int x, int y) const { return pixels_[index(x, y)]; }
    void set(int x, int y, std::uint32_t colour) { pixels_[index(x, y)] = colour; }
    // The part of area that lies on the image.
    void fill(const rect& area, std::uint32_t colour);
    image crop(const rect& area) const;
    std::vector<std::uint32_t>& pixels() { return pixels_; }
    const std::vector<std::uint32_t>& pixels() const { return pixels_; }

    void save_bmp(const boost::filesystem::path& file) const;

private:
    std::size_t index(int x, int y) const { return static_cast<std::size_t>(y) * width_ + x; }

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

// Empty when equal; otherwise how many pixels differ and the first of them.
std::string difference(const image& seen, const image& expected);

} // namespace splash_test
