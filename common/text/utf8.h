// The one reading and writing of UTF-8 for every part (the splash too, which
// links only the header-only kit): standard UTF-8 and Java's modified form.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace utf8 {

constexpr char32_t kReplacement = 0xFFFD;

// Standard: only the shortest form of a scalar value is accepted; after a
// broken sequence reading resumes at the byte that broke it.
// Modified (the JVM's strings): U+0000 as C0 80 and surrogates one by one are
// accepted, overlong two and three byte forms with them, as is standard
// four-byte UTF-8 from native callers; after a broken sequence reading
// resumes at the byte after its lead.
enum class Form { standard, modified };

struct Step {
    char32_t character; // kReplacement when not well formed
    bool wellFormed;
};

// Decodes one sequence at text[i] and advances i past what it consumed.
inline Step decodeAt(std::string_view text, std::size_t& i, Form form)
{
    const bool modified = form == Form::modified;
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        ++i;
        return {lead, true};
    }
    int length;
    char32_t character;
    char32_t minimum;
    if (lead >= (modified ? 0xC0 : 0xC2) && lead <= 0xDF) {
        length = 2, character = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, character = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= (modified ? 0xF7 : 0xF4)) {
        length = 4, character = lead & 0x07, minimum = 0x10000;
    } else {
        ++i;
        return {kReplacement, false};
    }
    std::size_t k = i + 1;
    for (int n = 1; n < length; ++n, ++k) {
        if (k >= text.size() || (byte(k) & 0xC0) != 0x80) {
            i = modified ? i + 1 : k;
            return {kReplacement, false};
        }
        character = (character << 6) | (byte(k) & 0x3F);
    }
    i = k;
    const bool inRange = character <= 0x10FFFF && (character >= minimum || (modified && length < 4));
    const bool surrogate = character >= 0xD800 && character <= 0xDFFF;
    if (!inRange || (surrogate && !modified))
        return {kReplacement, false};
    return {character, true};
}

inline void appendUtf8(std::string& out, char32_t c)
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

// A supplementary character as its surrogate pair, any other as itself.
inline void appendUtf16(std::u16string& out, char32_t c)
{
    if (c >= 0x10000) {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
        out += static_cast<char16_t>(c);
    }
}

} // namespace utf8
