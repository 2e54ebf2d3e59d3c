// The splash window and everything drawn into it: the model, the same on
// every platform, over the platform's window, frames, texts and bars
// (splash_backend.h). Every function here runs on the splash thread only
// (the single worker of the splash queue), which owns the window and all
// splash state; none reports to its caller: what they do shows on screen and
// in the lines they write.
//
// Drawing is copy-and-replace: each drawing copies the base image into a
// fresh frame, paints onto it and gives the frame to the window. Field texts
// and committed progress drawings make the frame the new base image;
// uncommitted progress drawings are shown only until the next drawing. A
// run of drawings that waited for the splash thread together gets one frame.
#pragma once

#include "splash_bitmap.h"
#include "splash_drawing.h"

#include <cstdint>
#include <string>

// Any thread: loads what a show needs, while the splash thread decodes the
// picture, so that it finds the rest ready.
void prepare_splash_window();

// Takes the picture (possibly none) as the new base image; creates the
// window when none exists, then shows the picture centred on the screen at
// its own size. Nothing of the fonts is loaded here: the picture is on the
// screen before the first text asks for them.
void show_splash_window(splash_bitmap image);

// Draws text (modified UTF-8) with its top-left corner at (x, y), for good.
void draw_splash_text(std::int32_t x, std::int32_t y, const std::string& text);

// Draws the caption at (text_x, text_y), then the bar's filled share over it.
void draw_splash_progress(const splash_progress_layout& layout, const std::string& text, bool commit);

// Draws a run of drawings in their order and gives the window one frame:
// the picture and the screen end as drawing them one by one would leave
// them. Texts are cut to kSplashMostTextUnits code units.
void draw_splash_drawings(const splash_drawing_run& run);

// Removes the window from the screen; the base image stays.
void destroy_splash_window();

// Handles whatever events wait for the splash thread's windows; never blocks.
void pump_splash_messages();

// How many pictures the window has been given since the process started: a
// show's picture and each drawn frame. Any thread may ask.
std::uint64_t splash_frames_shown();
