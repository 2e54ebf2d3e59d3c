#include "unicode_reference.h"

namespace {

bool inRange(unsigned char byte, unsigned char low, unsigned char high)
{
    return byte >= low && byte <= high;
}

bool isSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}

bool isHighSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool isLowSurrogate(char32_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Unicode Table 3-7: the well-formed byte sequences, by their first byte.
struct SequenceRule {
    int length;
    unsigned char secondLow;
    unsigned char secondHigh;
};

std::optional<SequenceRule> ruleFor(unsigned char lead)
{
    if (inRange(lead, 0xC2, 0xDF))
        return SequenceRule{2, 0x80, 0xBF};
    if (lead == 0xE0)
        return SequenceRule{3, 0xA0, 0xBF};
    if (inRange(lead, 0xE1, 0xEC) || inRange(lead, 0xEE, 0xEF))
        return SequenceRule{3, 0x80, 0xBF};
    if (lead == 0xED)
        return SequenceRule{3, 0x80, 0x9F};
    if (lead == 0xF0)
        return SequenceRule{4, 0x90, 0xBF};
    if (inRange(lead, 0xF1, 0xF3))
        return SequenceRule{4, 0x80, 0xBF};
    if (lead == 0xF4)
        return SequenceRule{4, 0x80, 0x8F};
    return std::nullopt;
}

void appendUtf8(std::string& out, char32_t c)
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

std::u32string decodeUtf8(const std::string& bytes)
{
    std::u32string out;
    const std::size_t size = bytes.size();
    auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    std::size_t i = 0;
    while (i < size) {
        const unsigned char lead = at(i);
        if (lead < 0x80) {
            out += lead;
            ++i;
            continue;
        }
        const std::optional<SequenceRule> rule = ruleFor(lead);
        if (!rule || i + 1 >= size || !inRange(at(i + 1), rule->secondLow, rule->secondHigh)) {
            out += kReplacementCharacter;
            ++i;
            continue;
        }
        char32_t c = lead & (rule->length == 2 ? 0x1F : rule->length == 3 ? 0x0F : 0x07);
        std::size_t k = i + 1;
        for (; k < i + rule->length && k < size && inRange(at(k), 0x80, 0xBF); ++k)
            c = (c << 6) | (at(k) & 0x3F);
        if (k < i + rule->length) {
            out += kReplacementCharacter; // the maximal subpart ends before byte k
            i = k;
            continue;
        }
        out += c;
        i = k;
    }
    return out;
}

bool isWellFormedUtf8(const std::string& bytes)
{
    return encodeUtf8(decodeUtf8(bytes)) == bytes;
}

std::string encodeUtf8(const std::u32string& characters)
{
    std::string out;
    for (char32_t c : characters)
        appendUtf8(out, c);
    return out;
}

std::u32string decodeUtf16(const std::u16string& units, bool replaceLoneSurrogates)
{
    std::u32string out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char32_t unit = units[i];
        if (isHighSurrogate(unit) && i + 1 < units.size() && isLowSurrogate(units[i + 1])) {
            out += 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        } else if (isSurrogate(unit) && replaceLoneSurrogates) {
            out += kReplacementCharacter;
        } else {
            out += unit;
        }
    }
    return out;
}

bool isWellFormedUtf16(const std::u16string& units)
{
    for (char32_t c : decodeUtf16(units, false)) {
        if (isSurrogate(c))
            return false;
    }
    return true;
}

std::u16string encodeUtf16(const std::u32string& characters)
{
    std::u16string out;
    for (char32_t c : characters) {
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

std::optional<std::u16string> decodeModifiedUtf8(const std::string& bytes)
{
    // Encoding is one to one, so a text is modified UTF-8 exactly when the
    // units read back encode to the same bytes.
    std::u16string units;
    const std::size_t size = bytes.size();
    auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    for (std::size_t i = 0; i < size;) {
        const unsigned char lead = at(i);
        if (lead < 0x80) {
            units += lead;
            ++i;
        } else if (inRange(lead, 0xC0, 0xDF) && i + 1 < size && inRange(at(i + 1), 0x80, 0xBF)) {
            units += static_cast<char16_t>(((lead & 0x1F) << 6) | (at(i + 1) & 0x3F));
            i += 2;
        } else if (inRange(lead, 0xE0, 0xEF) && i + 2 < size && inRange(at(i + 1), 0x80, 0xBF) &&
                   inRange(at(i + 2), 0x80, 0xBF)) {
            units += static_cast<char16_t>(((lead & 0x0F) << 12) | ((at(i + 1) & 0x3F) << 6) | (at(i + 2) & 0x3F));
            i += 3;
        } else {
            return std::nullopt;
        }
    }
    if (encodeModifiedUtf8(units) != bytes)
        return std::nullopt;
    return units;
}

std::string encodeModifiedUtf8(const std::u16string& units)
{
    std::string out;
    for (char32_t unit : units) {
        if (unit == 0) {
            out += "\xC0\x80";
        } else {
            appendUtf8(out, unit); // a surrogate gets its own three bytes
        }
    }
    return out;
}

std::u32string collapseReplacements(const std::u32string& characters)
{
    std::u32string out;
    for (char32_t c : characters) {
        if (c == kReplacementCharacter && !out.empty() && out.back() == kReplacementCharacter)
            continue;
        out += c;
    }
    return out;
}
