// Loading the splash picture: what each failure writes, and what a PNG
// becomes.
#include "allocation_watch.h"
#include "bitmap_view.h"
#include "output_capture.h"
#include "pictures.h"
#include "png_bytes.h"
#include "splash_image.h"
#include "splash_test_paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

using namespace splash_test;

namespace {

struct loaded {
    splash_bitmap bitmap;
    std::string out;
    std::string err;
};

loaded load(const splash_bytes& png)
{
    output_capture capture;
    loaded result{load_png_splash_image(png), "", ""};
    const captured_output seen = capture.finish();
    result.out = seen.out;
    result.err = seen.err;
    return result;
}

TEST(SplashImage, AnEmptyPictureMakesNoStream)
{
    loaded result = load({});
    EXPECT_FALSE(result.bitmap);
    EXPECT_EQ(result.out, "Failed to create image stream\n");
    EXPECT_EQ(result.err, "");
}

TEST(SplashImage, BytesThatAreNoPngFailInTheDecoder)
{
    for (const std::string& text : {std::string("not a png"), std::string("\x89PNG\r\n\x1a"), std::string(100, 'x')}) {
        loaded result = load(splash_bytes(text.begin(), text.end()));
        EXPECT_FALSE(result.bitmap);
        EXPECT_EQ(result.out, "Failed to initialize PNG decoder\nFailed to load bitmap from stream\n") << text;
        EXPECT_EQ(result.err, "");
    }
}

TEST(SplashImage, ACutPictureGivesNoBitmap)
{
    splash_bytes png = read_bytes(picture("frame.png"));
    png.resize(png.size() / 2);
    loaded result = load(png);
    EXPECT_FALSE(result.bitmap);
    // Where a decoder notices the cut differs (Windows: when it starts).
    EXPECT_TRUE(result.out == "Failed to initialize PNG decoder\nFailed to load bitmap from stream\n" ||
                result.out == "Failed to load first frame\nFailed to load bitmap from stream\n")
        << result.out;
    EXPECT_EQ(result.err, "") << "only the loader's own lines";
}

TEST(SplashImage, WithoutAnEmbeddedPictureTheResourceIsNotFound)
{
    output_capture capture;
    splash_bitmap bitmap = load_resource_splash_image();
    const captured_output seen = capture.finish();
    EXPECT_FALSE(bitmap);
    EXPECT_EQ(seen.out, "Create stream on resource: IDI_SPLASHIMAGE type: PNG\n"
                   "Resource is not found\n"
                   "Failed to create image stream\n");
    EXPECT_EQ(seen.err, "");
}

TEST(SplashImage, AnOpaquePngBecomesATopDownBitmapOfItsSize)
{
    loaded result = load(read_bytes(picture("frame.png")));
    ASSERT_TRUE(result.bitmap);
    EXPECT_EQ(result.out, "");
    const bitmap_view view = view_of(result.bitmap);
    ASSERT_EQ(view.width, kFrameWidth);
    ASSERT_EQ(view.height, kFrameHeight);
    EXPECT_EQ(view.bits_per_pixel, 32);
    EXPECT_TRUE(view.top_down);
    const image expected = frame_picture();
    int differences = 0;
    for (int y = 0; y < kFrameHeight; ++y)
        for (int x = 0; x < kFrameWidth; ++x)
            if (view.at(x, y) != (0xFF000000u | expected.at(x, y)) && differences++ < 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << view.at(x, y);
    EXPECT_EQ(differences, 0);
}

TEST(SplashImage, TransparentPicturesArePremultiplied)
{
    loaded result = load(read_bytes(picture("alpha.png")));
    ASSERT_TRUE(result.bitmap);
    const bitmap_view view = view_of(result.bitmap);
    ASSERT_EQ(view.width, kAlphaWidth);
    ASSERT_EQ(view.height, kAlphaHeight);
    for (int y = 0; y < kAlphaHeight; y += 7)
        for (int x = 0; x < kAlphaWidth; ++x) {
            const std::uint32_t seen = view.at(x, y);
            const std::uint32_t expected = alpha_picture_pixel(x, y);
            for (int shift : {24, 16, 8, 0}) {
                const int channel = static_cast<int>(seen >> shift & 0xFF);
                const int wanted = static_cast<int>(expected >> shift & 0xFF);
                ASSERT_LE(std::abs(channel - wanted), shift == 24 ? 0 : 1)
                    << "pixel (" << x << ", " << y << ") is " << std::hex << seen << ", expected " << expected;
            }
        }
}

TEST(SplashImage, EachLoadDecodesAnew)
{
    const splash_bytes png = read_bytes(picture("alpha.png"));
    loaded first = load(png);
    loaded second = load(png);
    ASSERT_TRUE(first.bitmap);
    ASSERT_TRUE(second.bitmap);
    EXPECT_NE(first.bitmap.get(), second.bitmap.get());
    EXPECT_EQ(view_of(first.bitmap).argb, view_of(second.bitmap).argb);
}

std::string refusal(std::uint32_t width, std::uint32_t height)
{
    return "The bitmap is too large: " + std::to_string(width) + " x " + std::to_string(height) +
           " pixels (at most 8192 per side and 16777216 in all)\n";
}

// Without the size check these pictures would be decoded whole; with it,
// nothing more than a copy of the file and small buffers is allocated.
constexpr std::size_t kCeiling = 256u << 20;
constexpr std::size_t kSmallBuffers = 64u << 10;

TEST(SplashImage, APictureBeyondTheBoundIsRefusedWithOneLine)
{
    const std::pair<std::uint32_t, std::uint32_t> sizes[] = {{8193, 1}, {1, 8193}, {4097, 4096}, {8192, 2049}};
    for (const auto& size : sizes) {
        const splash_bytes png = plain_png(size.first, size.second, kAlphaColour);
        allocation_watch watch(kCeiling);
        loaded result = load(png);
        EXPECT_FALSE(result.bitmap) << size.first << " x " << size.second;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, refusal(size.first, size.second));
        EXPECT_LE(watch.largest(), png.size() + kSmallBuffers) << "pixels were allocated";
    }
}

TEST(SplashImage, APictureAtTheBoundLoads)
{
    loaded result = load(plain_png(8192, 2048, kAlphaColour));
    ASSERT_TRUE(result.bitmap);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
    const bitmap_view view = view_of(result.bitmap);
    EXPECT_EQ(view.width, 8192);
    EXPECT_EQ(view.height, 2048);
    EXPECT_EQ(view.at(8191, 2047), 0xFF000000u | kAlphaColour);
}

#ifndef _WIN32
// Wine's PNG decoder reads the whole picture when it starts, so there such
// a file fails before its size can be asked for; libpng reads the header
// first and refuses it there.
TEST(SplashImage, AHeaderDeclaringAHugePictureCostsNothing)
{
    const std::pair<std::uint32_t, std::uint32_t> sizes[] = {{30000, 30000}, {40000, 40000}, {65535, 65535},
                                                             {1000000, 1}};
    for (const auto& size : sizes) {
        const splash_bytes png = png_without_pixels(size.first, size.second);
        allocation_watch watch(kCeiling);
        loaded result = load(png);
        EXPECT_FALSE(result.bitmap);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, refusal(size.first, size.second));
        EXPECT_LE(watch.largest(), png.size() + kSmallBuffers) << "pixels were allocated";
    }
}
#endif

} // namespace
