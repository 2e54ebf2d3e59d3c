// The runtime's formatted output, written whole to its stream.
#include "jvm_output.h"

std::string formatRuntimeOutput(const char* format, va_list arguments)
{
    va_list sizing;
    va_copy(sizing, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, sizing);
    va_end(sizing);
    if (length <= 0)
        return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    va_list writing;
    va_copy(writing, arguments);
    std::vsnprintf(&text[0], text.size(), format, writing);
    va_end(writing);
    text.resize(static_cast<size_t>(length));
    return text;
}
