// What the splash window is asked to draw, and what a run of such drawings
// leaves to be done: the bridge hands the window every drawing queued while
// the splash thread was busy, and the window presents them once.
#pragma once

#include "splash_geometry.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// A field text, which stays in the picture; or a progress drawing: its
// caption, then the bar's filled share over it, kept only when commit is set.
struct splash_drawing {
    std::int32_t text_x = 0;
    std::int32_t text_y = 0;
    std::string text; // modified UTF-8
    bool has_bar = false;
    splash_rect bar{};
    bool commit = true;
};

// Drawings in the order they were asked for. A deque: callers append while
// holding the bridge's lock, and it never moves what it holds.
using splash_drawing_run = std::deque<splash_drawing>;

splash_drawing splash_field(std::int32_t x, std::int32_t y, std::string text);
splash_drawing splash_progress(const splash_progress_layout& layout, std::string text, bool commit);

// What a run of drawings, taken in order, leaves on screen: the kept ones
// painted into the picture in their order, and the last one over that when
// it is not kept. An uncommitted drawing that another follows is replaced
// before anyone could see it, so it is not painted at all.
struct splash_drawing_plan {
    std::vector<const splash_drawing*> kept;
    const splash_drawing* shown = nullptr;
};
splash_drawing_plan plan_splash_drawings(const splash_drawing_run& run);
