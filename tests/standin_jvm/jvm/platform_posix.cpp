#include "platform.h"

#include "java_text.h"

#include <cerrno>
#include <dlfcn.h>

namespace standin::platform {

std::filesystem::path library_file()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&library_file), &info) == 0 || info.dli_fname == nullptr)
        return {};
    std::error_code ignored;
    return std::filesystem::absolute(info.dli_fname, ignored);
}

void set_last_error(long long code)
{
    errno = static_cast<int>(code);
}

void* find_program_export(const char* name)
{
    return dlsym(RTLD_DEFAULT, name);
}

std::u16string decode_option_text(const char* text)
{
    return decode_utf8(text);
}

std::FILE* open_file(const std::filesystem::path& path, const char* mode)
{
    return std::fopen(path.c_str(), mode);
}

void use_load_time_dependency()
{
}

} // namespace standin::platform
