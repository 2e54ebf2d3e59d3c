// Linux keeps the programs' text as UTF-8.
#include "text_encoding.h"

#include "utf8.h"

std::u16string narrowToUtf16(const std::string& narrow)
{
    std::u16string wide;
    wide.reserve(narrow.size());
    for (size_t i = 0; i < narrow.size();)
        utf8::appendUtf16(wide, utf8::decodeAt(narrow, i, utf8::Form::standard).character);
    return wide;
}
