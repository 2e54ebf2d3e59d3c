// Splash texts arrive as the modified UTF-8 bytes of Java strings (U+0000 as
// C0 80, supplementary characters as two encoded surrogates). The painters
// want them as the characters they are.
#pragma once

#include <string>

// For the wide text calls of Windows. Ill-formed bytes become U+FFFD.
std::u16string utf16_from_modified_utf8(const std::string& bytes);
// For Xft. Surrogate pairs are joined; a lone surrogate becomes U+FFFD.
std::string utf8_from_modified_utf8(const std::string& bytes);
