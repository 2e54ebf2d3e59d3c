// Text drawn the way the splash draws it (Arial at height -11 through GDI's
// wide text call; Liberation Sans at 11 pixels through Xft), in black over
// the picture, the top-left corner of its character cell at (x, y). The
// tests compare the splash window with pictures made this way.
#pragma once

#include "image.h"

#include <string>

namespace splash_test {

void draw_reference_text(image& picture, int x, int y, const std::u16string& text);

// How far the text advances, in pixels, drawn that way.
int reference_text_width(const std::u16string& text);

// Each byte taken for a character of a single-byte code page: how Java's
// modified UTF-8 looks when it is drawn as bytes.
void draw_reference_bytes(image& picture, int x, int y, const std::string& bytes);

// The bytes that Java's GetStringUTFChars gives for a string.
std::string modified_utf8(const std::u16string& text);

} // namespace splash_test
