// Java's modified UTF-8 as the UTF-16 and UTF-8 the painters take.
#include "splash_text.h"

#include "utf8.h"

namespace {

bool is_high_surrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool is_low_surrogate(char32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

} // namespace

std::u16string utf16_from_modified_utf8(const std::string& bytes, std::size_t most_units)
{
    std::u16string out;
    const std::size_t size = bytes.size();
    out.reserve(size < most_units ? size : most_units);
    std::size_t i = 0;
    while (i < size && out.size() < most_units) {
        const std::size_t start = i;
        const char32_t c = utf8::decodeAt(bytes, i, utf8::Form::modified).character;
        if (c >= 0x10000 && most_units - out.size() < 2) {
            i = start;
            break;
        }
        utf8::appendUtf16(out, c);
    }
    // Modified UTF-8 writes a pair as two 3-byte sequences: a cut between
    // them leaves half a character.
    if (i < size && !out.empty() && is_high_surrogate(out.back()))
        out.pop_back();
    return out;
}

std::string utf8_from_modified_utf8(const std::string& bytes, std::size_t most_units)
{
    return utf8_from_utf16(utf16_from_modified_utf8(bytes, most_units));
}

std::string utf8_from_utf16(const std::u16string& units)
{
    std::string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char32_t unit = units[i];
        if (is_high_surrogate(unit) && i + 1 < units.size() && is_low_surrogate(units[i + 1])) {
            utf8::appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (is_high_surrogate(unit) || is_low_surrogate(unit)) {
            utf8::appendUtf8(out, utf8::kReplacement);
        } else {
            utf8::appendUtf8(out, unit);
        }
    }
    return out;
}

std::string splash_drawable_prefix(const std::string& bytes)
{
    // Each code unit takes at most 3 bytes, so decoding has stopped before
    // byte 3 * kSplashMostTextUnits; a character starting before that ends
    // within 3 more.
    constexpr std::size_t kMostBytes = 3 * kSplashMostTextUnits + 3;
    return bytes.size() <= kMostBytes ? bytes : bytes.substr(0, kMostBytes);
}
