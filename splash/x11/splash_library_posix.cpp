// Opening a shared library and finding its functions by name, with the line
// that says which could not be found.
#include "splash_library_posix.h"

#include <dlfcn.h>

namespace {

std::string failure_line(const char* name)
{
    const char* error = dlerror();
    // dlerror names the library (and the function) itself.
    return std::string("Failed to load ") + (error != nullptr ? error : name);
}

} // namespace

// The library is kept on purpose for the life of the process: the tables
// filled from it are.
splash_library::splash_library(const char* name) : handle_(dlopen(name, RTLD_NOW | RTLD_LOCAL))
{
    if (handle_ == nullptr)
        failure_ = failure_line(name);
}

void* splash_library::symbol(const char* name)
{
    if (!failure_.empty())
        return nullptr;
    dlerror();
    void* found = dlsym(handle_, name);
    if (found == nullptr)
        failure_ = failure_line(name);
    return found;
}
