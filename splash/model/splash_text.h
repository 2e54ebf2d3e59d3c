// Splash texts arrive as the modified UTF-8 bytes of Java strings (U+0000 as
// C0 80, supplementary characters as two encoded surrogates). The painters
// want them as the characters they are.
#pragma once

#include <cstddef>
#include <string>

// For the wide text calls of Windows. Ill-formed bytes become U+FFFD. At most
// most_units UTF-16 code units result: the rest is cut, never inside a
// surrogate pair.
std::u16string utf16_from_modified_utf8(const std::string& bytes, std::size_t most_units = std::u16string::npos);
// For Xft. Surrogate pairs are joined; a lone surrogate becomes U+FFFD. Cut
// as above, counted in UTF-16 code units.
std::string utf8_from_modified_utf8(const std::string& bytes, std::size_t most_units = std::u16string::npos);
// The same from UTF-16 code units.
std::string utf8_from_utf16(const std::u16string& units);

// The splash draws at most this many UTF-16 code units of a text: as many
// of the narrowest characters (2 pixels apart at 11 pixels) as the widest
// picture, 8192 pixels, shows. Text libraries handle a longer line badly:
// Xlib aborts the process at a few hundred thousand characters.
constexpr std::size_t kSplashMostTextUnits = 4096;

// The leading bytes of a text that can reach the screen: those of its first
// kSplashMostTextUnits code units. Callers need keep no more.
std::string splash_drawable_prefix(const std::string& bytes);
