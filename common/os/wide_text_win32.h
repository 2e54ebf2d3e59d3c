// Windows keeps its own text as UTF-16; the programs' text is narrow, in the
// process's active code page (UTF-8 where the manifest can ask for it).
#pragma once

#include <string>
#include <string_view>

std::wstring wideFromNarrow(std::string_view narrow);

// Never by best fit: a character the code page lacks becomes its default
// character '?', not a look-alike such as '-' for U+FF0D. `exact` (when given)
// tells whether every character came through.
std::string narrowFromWide(std::wstring_view wide, bool* exact = nullptr);
