#include "new_file.h"

#include "wide_text_win32.h"

#include <windows.h>

bool writeNewFile(const std::string& path, const std::string& text)
{
    const std::wstring wide = wideFromNarrow(path);
    // CREATE_NEW fails on any entry at the name, a reparse point included.
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool wrote = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                       written == text.size();
    const bool closed = CloseHandle(file) != 0;
    if (wrote && closed)
        return true;
    DeleteFileW(wide.c_str());
    return false;
}
