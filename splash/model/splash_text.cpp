#include "splash_text.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool is_continuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

bool is_high_surrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool is_low_surrogate(char32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void append_utf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

std::u16string utf16_from_modified_utf8(const std::string& bytes, std::size_t most_units)
{
    std::u16string out;
    const std::size_t size = bytes.size();
    out.reserve(size < most_units ? size : most_units);
    std::size_t i = 0;
    while (i < size && out.size() < most_units) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[i + k]); };
        if (lead < 0x80) {
            out += static_cast<char16_t>(lead);
            i += 1;
        } else if ((lead & 0xE0) == 0xC0 && i + 1 < size && is_continuation(at(1))) {
            // C0 80 is how modified UTF-8 writes U+0000.
            out += static_cast<char16_t>(((lead & 0x1F) << 6) | (at(1) & 0x3F));
            i += 2;
        } else if ((lead & 0xF0) == 0xE0 && i + 2 < size && is_continuation(at(1)) && is_continuation(at(2))) {
            out += static_cast<char16_t>(((lead & 0x0F) << 12) | ((at(1) & 0x3F) << 6) | (at(2) & 0x3F));
            i += 3;
        } else if ((lead & 0xF8) == 0xF0 && i + 3 < size && is_continuation(at(1)) && is_continuation(at(2)) &&
                   is_continuation(at(3))) {
            // Standard 4-byte UTF-8, as native callers may write it.
            const char32_t c = ((lead & 0x07) << 18) | ((at(1) & 0x3F) << 12) | ((at(2) & 0x3F) << 6) | (at(3) & 0x3F);
            if (c >= 0x10000 && c <= 0x10FFFF) {
                if (most_units - out.size() < 2)
                    break;
                out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
                out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
            } else {
                out += kReplacement;
            }
            i += 4;
        } else {
            out += kReplacement;
            i += 1;
        }
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
            append_utf8(out, 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (is_high_surrogate(unit) || is_low_surrogate(unit)) {
            append_utf8(out, kReplacement);
        } else {
            append_utf8(out, unit);
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
