#include "java_string.h"

#include <windows.h>

std::u16string narrowToUtf16(const std::string& narrow)
{
    if (narrow.empty())
        return {};
    int size = MultiByteToWideChar(CP_ACP, 0, narrow.data(), static_cast<int>(narrow.size()), nullptr, 0);
    if (size <= 0)
        return {};
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, narrow.data(), static_cast<int>(narrow.size()), &wide[0], size);
    return std::u16string(wide.begin(), wide.end());
}
