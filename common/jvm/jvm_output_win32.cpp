// Windows: the runtime's output written through the C library that owns its stream.
#include "jvm_output.h"

#include <windows.h>

namespace {

using WriteFunction = size_t(__cdecl*)(const void*, size_t, size_t, std::FILE*);
using FlushFunction = int(__cdecl*)(std::FILE*);

// The C library whose static data holds the stream (its standard streams
// live there), or null for a stream we cannot place.
HMODULE streamOwner(std::FILE* stream)
{
    HMODULE owner = nullptr;
    const DWORD flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    if (!GetModuleHandleExW(flags, reinterpret_cast<LPCWSTR>(stream), &owner))
        return nullptr;
    return owner;
}

} // namespace

// A JRE's jvm.dll uses the C runtime it ships (the UCRT), whose FILE is not
// ours: handing its stream to our vfprintf would corrupt both. The text is
// formatted here and written with the owning library's own fwrite.
int passRuntimeOutput(std::FILE* stream, const char* format, va_list arguments)
{
    if (stream == stdout || stream == stderr) {
        const int written = std::vfprintf(stream, format, arguments);
        std::fflush(stream);
        return written;
    }
    const std::string text = formatRuntimeOutput(format, arguments);
    if (HMODULE owner = streamOwner(stream)) {
        auto write = reinterpret_cast<WriteFunction>(reinterpret_cast<void*>(GetProcAddress(owner, "fwrite")));
        auto flush = reinterpret_cast<FlushFunction>(reinterpret_cast<void*>(GetProcAddress(owner, "fflush")));
        if (write != nullptr && flush != nullptr) {
            write(text.data(), 1, text.size(), stream);
            flush(stream);
            return static_cast<int>(text.size());
        }
    }
    // A stream of no library we can find: the runtime's default, standard
    // output.
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    return static_cast<int>(text.size());
}
