// Java text in the stand-in: strings are UTF-16, the JNI hands over modified
// UTF-8, and the trace shows everything as ASCII-only Java literals.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace standin {

// Modified UTF-8 (and, leniently, standard UTF-8 with 4-byte sequences) to
// UTF-16. Ill-formed bytes become U+FFFD.
std::u16string decode_utf8(std::string_view bytes);

// UTF-16 to modified UTF-8: U+0000 as C0 80, every unit of a surrogate pair
// as its own 3-byte sequence.
std::string encode_modified_utf8(std::u16string_view text);

// UTF-16 to standard UTF-8 for the console; lone surrogates become U+FFFD.
std::string encode_utf8(std::u16string_view text);

// `"..."` with printable ASCII as is (`"` and `\` escaped), all else \uXXXX.
std::string java_literal(std::u16string_view text);

// The same escaping without quotes, for names (classes, methods).
std::string ascii_name(std::u16string_view text);

std::filesystem::path path_from_text(const std::u16string& text);

std::u16string ascii_to_text(std::string_view ascii);

} // namespace standin
