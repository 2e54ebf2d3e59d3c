// Writes through the runtime output hook to the standard streams of a C
// library other than ours, as a JRE's jvm.dll does with the UCRT it ships,
// then to our own standard output.
#include "jvm_hooks.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

using VfprintfHook = jint(JNICALL*)(std::FILE*, const char*, va_list);
using StreamFunction = std::FILE*(__cdecl*)(unsigned);

VfprintfHook vfprintfHook()
{
    for (const JavaVMOption& option : javaRuntimeHookOptions())
        if (std::strcmp(option.optionString, "vfprintf") == 0)
            return reinterpret_cast<VfprintfHook>(option.extraInfo);
    return nullptr;
}

void printThrough(std::FILE* stream, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    vfprintfHook()(stream, format, arguments);
    va_end(arguments);
}

} // namespace

int main()
{
    HMODULE ucrt = LoadLibraryA("ucrtbase.dll");
    auto streams = ucrt != nullptr ? reinterpret_cast<StreamFunction>(reinterpret_cast<void*>(
                                         GetProcAddress(ucrt, "__acrt_iob_func")))
                                   : nullptr;
    if (streams == nullptr) {
        std::fprintf(stderr, "no UCRT streams\n");
        return 2;
    }
    printThrough(streams(1), "%s %d|", "ucrt stdout", 1);
    printThrough(streams(2), "%s %d|", "ucrt stderr", 2);
    printThrough(stdout, "%s %d|", "own stdout", 3);
    return 0;
}
