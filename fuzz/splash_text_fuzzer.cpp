// The splash texts that Java hands over as the modified UTF-8 bytes of its
// strings, or that a native caller passes as any bytes. Both conversions keep
// every character; the UTF-8 one gives well-formed UTF-8 (lone surrogates as
// U+FFFD) and agrees with the UTF-16 one; modified UTF-8 and standard UTF-8
// come back unchanged.
#include "splash_text.h"

#include "fuzz_support.h"
#include "unicode_reference.h"

namespace {

// Every ASCII byte is a character of its own in both encodings: all of them
// must reach the output, in order (overlong forms may add more).
bool keepsAscii(const std::string& bytes, const std::u16string& units)
{
    std::size_t u = 0;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80)
            continue;
        while (u < units.size() && units[u] != byte)
            ++u;
        if (u == units.size())
            return false;
        ++u;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto input = [&] { return describeText(bytes); }; // built only for a report
    const std::u16string units = utf16_from_modified_utf8(bytes);
    const std::string utf8 = utf8_from_modified_utf8(bytes);

    FUZZ_CHECK(units.size() <= bytes.size(), "more UTF-16 units than bytes from " + input());
    FUZZ_CHECK(keepsAscii(bytes, units), "an ASCII character lost from " + input());
    FUZZ_CHECK(isWellFormedUtf8(utf8), "ill-formed UTF-8 " + describeText(utf8) + " from " + input());
    FUZZ_CHECK(decodeUtf8(utf8) == decodeUtf16(units, true),
               "the UTF-8 and UTF-16 readings differ for " + input() + ": " + describeText(utf8));

    if (const std::optional<std::u16string> java = decodeModifiedUtf8(bytes))
        FUZZ_CHECK(units == *java, "a Java string read wrongly: " + input());
    if (isWellFormedUtf8(bytes)) {
        FUZZ_CHECK(utf8 == bytes, "UTF-8 changed: " + input() + " gives " + describeText(utf8));
        FUZZ_CHECK(units == encodeUtf16(decodeUtf8(bytes)), "UTF-8 read wrongly into UTF-16: " + input());
    }
    return 0;
}
