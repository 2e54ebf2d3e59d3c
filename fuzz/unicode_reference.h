// Readings of UTF-8, modified UTF-8 and UTF-16 written from the Unicode
// standard and the JNI documentation, independent of the product's
// converters, for checking them.
#pragma once

#include <optional>
#include <string>

constexpr char32_t kReplacementCharacter = 0xFFFD;

// UTF-8 to code points; each maximal ill-formed subpart (Unicode 3.9,
// "U+FFFD Substitution of Maximal Subparts") becomes one U+FFFD.
std::u32string decodeUtf8(const std::string& bytes);
bool isWellFormedUtf8(const std::string& bytes);
std::string encodeUtf8(const std::u32string& characters);

// UTF-16 to code points: pairs joined, each lone surrogate kept as the code
// point it is, or replaced by U+FFFD.
std::u32string decodeUtf16(const std::u16string& units, bool replaceLoneSurrogates);
bool isWellFormedUtf16(const std::u16string& units);
std::u16string encodeUtf16(const std::u32string& characters);

// Modified UTF-8 as the JVM writes a string: U+0000 as C0 80, every other
// UTF-16 unit in its shortest one, two or three bytes, surrogates one by one.
// Nothing when the bytes are not such a text.
std::optional<std::u16string> decodeModifiedUtf8(const std::string& bytes);
std::string encodeModifiedUtf8(const std::u16string& units);

// Runs of U+FFFD shortened to one: converters may replace an ill-formed
// sequence with one U+FFFD or with one per byte.
std::u32string collapseReplacements(const std::u32string& characters);
