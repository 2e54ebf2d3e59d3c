#include "platform.h"

#include "standin_dep.h"

#include <string>
#include <vector>
#include <windows.h>

namespace standin::platform {

std::filesystem::path library_file()
{
    HMODULE self = nullptr;
    const DWORD flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    if (!GetModuleHandleExW(flags, reinterpret_cast<LPCWSTR>(&library_file), &self))
        return {};
    // Wide, so that a runtime below a non-ANSI folder still finds its files.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(self, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size())
            return std::filesystem::path(std::wstring(buffer.data(), length));
        buffer.resize(buffer.size() * 2);
    }
}

void set_last_error(long long code)
{
    SetLastError(static_cast<DWORD>(code));
}

void* find_program_export(const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(nullptr), name));
}

std::u16string decode_option_text(const char* text)
{
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 1)
        return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    wide.pop_back();
    return std::u16string(wide.begin(), wide.end());
}

std::FILE* open_file(const std::filesystem::path& path, const char* mode)
{
    const std::wstring wide_mode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(path.c_str(), wide_mode.c_str());
}

void use_load_time_dependency()
{
    // Only for the import: the answer itself does not matter.
    (void)standin_dep_answer();
}

} // namespace standin::platform
