// Windows keeps its own text as UTF-16; the programs' is in the active code page.
#include "text_encoding.h"
#include "wide_text_win32.h"

#include <windows.h>

std::wstring wideFromNarrow(std::string_view narrow)
{
    if (narrow.empty())
        return {};
    const int length = static_cast<int>(narrow.size());
    int size = MultiByteToWideChar(CP_ACP, 0, narrow.data(), length, nullptr, 0);
    if (size <= 0)
        return {};
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, narrow.data(), length, &wide[0], size);
    return wide;
}

namespace {

std::string convert(std::wstring_view wide, DWORD flags, BOOL* usedDefault)
{
    const int length = static_cast<int>(wide.size());
    int size = WideCharToMultiByte(CP_ACP, flags, wide.data(), length, nullptr, 0, nullptr, usedDefault);
    if (size <= 0)
        return {};
    std::string narrow(static_cast<size_t>(size), '\0');
    if (WideCharToMultiByte(CP_ACP, flags, wide.data(), length, &narrow[0], size, nullptr, usedDefault) != size)
        return {};
    return narrow;
}

} // namespace

std::string narrowFromWide(std::wstring_view wide, bool* exact)
{
    if (exact != nullptr)
        *exact = true;
    if (wide.empty())
        return {};
    if (GetACP() == CP_UTF8) {
        // UTF-8 holds every character; only a lone surrogate is lost (as
        // U+FFFD). The UTF-8 conversion takes no best-fit flags.
        std::string strict = convert(wide, WC_ERR_INVALID_CHARS, nullptr);
        if (!strict.empty())
            return strict;
        if (exact != nullptr)
            *exact = false;
        return convert(wide, 0, nullptr);
    }
    BOOL usedDefault = FALSE;
    std::string narrow = convert(wide, WC_NO_BEST_FIT_CHARS, &usedDefault);
    if (exact != nullptr && (usedDefault || narrow.empty()))
        *exact = false;
    return narrow;
}

std::u16string narrowToUtf16(const std::string& narrow)
{
    const std::wstring wide = wideFromNarrow(narrow);
    return std::u16string(wide.begin(), wide.end());
}
