// A file created where none was, written and closed with every step checked.
#include "new_file.h"

#include "os_handles.h"
#include "wide_text_win32.h"

#include <windows.h>

bool writeNewFile(const std::string& path, const std::string& text)
{
    const std::wstring wide = wideFromNarrow(path);
    // CREATE_NEW fails on any entry at the name, a reparse point included.
    FileHandle file(CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    const bool wrote = WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                       written == text.size();
    // A failed close can mean the text never reached the disk.
    const bool closed = CloseHandle(file.release()) != 0;
    if (wrote && closed)
        return true;
    DeleteFileW(wide.c_str());
    return false;
}
