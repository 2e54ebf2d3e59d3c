// The splash screen's five operations, for the launcher itself and for the
// natives of the Java class io/tarnwick/tools/SplashScreen. Each copies its
// arguments and posts the work to the splash thread (the single worker of
// the queue "splash_msg_queue"); only hide_splash waits for it. Any thread
// may call them: a lock keeps a show that makes the queue, a post and a hide
// that takes it away from overlapping, and one splash thread at most exists.
// Field and progress calls made while the splash thread is busy are drawn
// together. None reports a failure to its caller; a failure is written as a
// line.
//
// The splash's names are snake case, in the manner of its dispatch_queue;
// the launcher that calls them writes lower camel case. Both manners are
// deliberate: each part keeps its own, and they meet only here and in
// splash_natives.h.
#pragma once

#include "splash_geometry.h"
#include "splash_image.h"

#include <chrono>
#include <cstdint>
#include <string>

// Make the queue (and the splash thread) when there is none, then show the
// program's embedded picture, or the given PNG file.
void show_resource_splash();
void show_png_splash(splash_bytes png);

// Waits until the splash thread has done everything posted so far (a show:
// the picture is on the screen), or for at most the given time; returns at
// once without a splash. For a caller about to take the processors for
// itself, such as the launcher loading the JVM.
void await_splash(std::chrono::milliseconds most);

// Field, progress and hide need a queue: without one (before the first show,
// or once a hide has begun) they do nothing. Texts are modified UTF-8.
void set_splash_field(std::int32_t x, std::int32_t y, const std::string& text);
void set_splash_progress(const splash_progress_layout& layout, const std::string& text, bool commit);

// Waits until the window is gone and everything posted before has run, then
// ends the splash thread; other threads' calls go on meanwhile (a show waits
// for the hide to end). Must not be called on the splash thread.
void hide_splash();
