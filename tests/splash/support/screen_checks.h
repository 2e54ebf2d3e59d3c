// Checks of what the splash window shows, by screenshots: the pictures the
// tests expect, waiting for the splash thread to get there, and the
// screenshots kept of every checked state.
#pragma once

#include "image.h"
#include "screen.h"
#include "splash_bitmap.h"

#include <chrono>
#include <thread>
#include <string>

namespace splash_test {

// Polls check until it passes or the time is up.
template <class Check>
bool eventually(Check check, std::chrono::milliseconds limit = std::chrono::seconds(10))
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (check())
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

// Where a picture of that size shows: centred on the screen.
rect centred(int width, int height);

// The picture with a text drawn as the splash draws it; fails the test when
// the text leaves no ink (no font, or nothing drawn where it was expected).
image with_text(image picture, int x, int y, const std::u16string& text);
// The picture with a progress bar's filled share.
image with_bar(image picture, const rect& bar);
// What a window shows of a loaded picture: its colours, alpha dropped.
image shown(const splash_bitmap& bitmap);

// Empty when, within the time, exactly one splash window is visible, centred
// at the expected picture's size and showing exactly it; otherwise why not.
// Keeps the last screenshot as <name>.bmp below the build tree (and, when it
// differs, the expected picture as <name>-expected.bmp).
std::string wait_for_window(const image& expected, const std::string& name,
                            std::chrono::milliseconds limit = std::chrono::seconds(10));

// Whether no splash window is visible for a while.
bool no_window_for(std::chrono::milliseconds time);

// The current test's name, for screenshot names.
std::string test_name();

} // namespace splash_test
