// Linux: the runtime's output goes through the C library's own stream.
#include "jvm_output.h"

// One C library per process: the runtime's stream is ours too.
int passRuntimeOutput(std::FILE* stream, const char* format, va_list arguments)
{
    const int written = std::vfprintf(stream, format, arguments);
    std::fflush(stream);
    return written;
}
