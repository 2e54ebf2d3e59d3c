// Platform seam: writing the Java runtime's formatted output to its stream.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

// The text that vfprintf would write; leaves `arguments` untouched.
std::string formatRuntimeOutput(const char* format, va_list arguments);

// The stream belongs to the runtime's C library, which need not be ours.
// Flushed at once: without the hook the runtime writes most of its output
// unbuffered, and it must not fall behind the application's own.
int passRuntimeOutput(std::FILE* stream, const char* format, va_list arguments);
