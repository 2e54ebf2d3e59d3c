// The programs' narrow text (command lines, paths, settings) as UTF-16.
#pragma once

#include <string>

// From the active code page on Windows, from UTF-8 on Linux (ill-formed
// sequences become U+FFFD).
std::u16string narrowToUtf16(const std::string& narrow);
