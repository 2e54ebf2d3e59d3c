// The picture embedded in a program (here frame.png, as the build option
// LAUNCHER_SPLASH_IMAGE embeds one into the launcher).
#include "bitmap_view.h"
#include "output_capture.h"
#include "pictures.h"
#include "splash_image.h"

#include <gtest/gtest.h>

using namespace splash_test;

namespace {

TEST(SplashResource, TheEmbeddedPictureLoadsWithItsOneLine)
{
    for (int round = 0; round < 2; ++round) {
        output_capture capture;
        splash_bitmap bitmap = load_resource_splash_image();
        const captured_output seen = capture.finish();
        EXPECT_EQ(seen.out, "Create stream on resource: IDI_SPLASHIMAGE type: PNG\n");
        EXPECT_EQ(seen.err, "");
        ASSERT_TRUE(bitmap);
        const bitmap_view view = view_of(bitmap);
        ASSERT_EQ(view.width, kFrameWidth);
        ASSERT_EQ(view.height, kFrameHeight);
        const image expected = frame_picture();
        for (int y = 0; y < kFrameHeight; ++y)
            for (int x = 0; x < kFrameWidth; ++x)
                ASSERT_EQ(view.at(x, y), 0xFF000000u | expected.at(x, y)) << "(" << x << ", " << y << ")";
    }
}

} // namespace
