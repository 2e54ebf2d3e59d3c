// narrowToUtf16 on Linux: the program's narrow text (its command line,
// configuration values, paths) as the UTF-16 of a Java string. Any bytes give
// well-formed UTF-16 that holds every character of the input, with U+FFFD
// only where the input is not UTF-8; UTF-8 input comes back unchanged.
#include "text_encoding.h"

#include "fuzz_support.h"
#include "unicode_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string narrow(reinterpret_cast<const char*>(data), size);
    const std::u16string wide = narrowToUtf16(narrow);
    const auto input = [&] { return describeText(narrow); }; // built only for a report

    FUZZ_CHECK(isWellFormedUtf16(wide), "a lone surrogate from " + input());
    const std::u32string characters = decodeUtf16(wide, false);
    const std::u32string expected = decodeUtf8(narrow);
    FUZZ_CHECK(collapseReplacements(characters) == collapseReplacements(expected),
               "characters lost or made up: " + input() + " gives " + describeText(encodeUtf8(characters)));
    if (isWellFormedUtf8(narrow))
        FUZZ_CHECK(encodeUtf8(characters) == narrow, "UTF-8 changed: " + input());
    return 0;
}
