#include "java_text.h"

#include <cstdint>
#include <cstdio>

namespace standin {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool is_continuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

void append_unit_escaped(std::string& out, char16_t unit, bool quoted)
{
    if (unit >= 0x20 && unit <= 0x7E) {
        if (quoted && (unit == u'"' || unit == u'\\'))
            out += '\\';
        out += static_cast<char>(unit);
        return;
    }
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(unit));
    out += escape;
}

void append_utf8(std::string& out, std::uint32_t code_point)
{
    if (code_point < 0x80) {
        out += static_cast<char>(code_point);
    } else if (code_point < 0x800) {
        out += static_cast<char>(0xC0 | (code_point >> 6));
        out += static_cast<char>(0x80 | (code_point & 0x3F));
    } else if (code_point < 0x10000) {
        out += static_cast<char>(0xE0 | (code_point >> 12));
        out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code_point & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code_point >> 18));
        out += static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code_point & 0x3F));
    }
}

} // namespace

std::u16string decode_utf8(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    auto byte_at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };

    while (i < n) {
        const unsigned char lead = byte_at(i);
        std::size_t length;
        std::uint32_t value;
        std::uint32_t minimum;
        if (lead < 0x80) {
            out += static_cast<char16_t>(lead);
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2; value = lead & 0x1F; minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3; value = lead & 0x0F; minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4; value = lead & 0x07; minimum = 0x10000;
        } else {
            out += kReplacement;
            ++i;
            continue;
        }

        // A broken sequence consumes only its well-formed prefix, so the next
        // lead byte still gets decoded.
        std::size_t taken = 1;
        while (taken < length && i + taken < n && is_continuation(byte_at(i + taken))) {
            value = (value << 6) | (byte_at(i + taken) & 0x3F);
            ++taken;
        }
        if (taken < length) {
            out += kReplacement;
            i += taken;
            continue;
        }
        i += taken;

        const bool modified_nul = length == 2 && value == 0;
        if ((value < minimum && !modified_nul) || value > 0x10FFFF) {
            out += kReplacement;
        } else if (value >= 0x10000) {
            value -= 0x10000;
            out += static_cast<char16_t>(0xD800 | (value >> 10));
            out += static_cast<char16_t>(0xDC00 | (value & 0x3FF));
        } else {
            // Encoded surrogates are how modified UTF-8 spells supplementary
            // characters, so they pass through unchanged.
            out += static_cast<char16_t>(value);
        }
    }
    return out;
}

std::string encode_modified_utf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char16_t unit : text) {
        if (unit == 0)
            out += "\xC0\x80";
        else
            append_utf8(out, unit);
    }
    return out;
}

std::string encode_utf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size()
            && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            const std::uint32_t high = unit - 0xD800u;
            const std::uint32_t low = text[i + 1] - 0xDC00u;
            append_utf8(out, 0x10000 + ((high << 10) | low));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            append_utf8(out, kReplacement);
        } else {
            append_utf8(out, unit);
        }
    }
    return out;
}

std::string java_literal(std::u16string_view text)
{
    std::string out = "\"";
    for (char16_t unit : text)
        append_unit_escaped(out, unit, true);
    out += '"';
    return out;
}

std::string ascii_name(std::u16string_view text)
{
    std::string out;
    for (char16_t unit : text)
        append_unit_escaped(out, unit, false);
    return out;
}

std::filesystem::path path_from_text(const std::u16string& text)
{
    using native_char = std::filesystem::path::value_type;
    if constexpr (sizeof(native_char) == sizeof(char16_t))
        return std::filesystem::path(std::basic_string<native_char>(text.begin(), text.end()));
    else
        return std::filesystem::path(encode_utf8(text));
}

std::u16string ascii_to_text(std::string_view ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

} // namespace standin
