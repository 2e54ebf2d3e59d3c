// The few things the stand-in needs from the operating system.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

namespace standin::platform {

// The file of the stand-in library itself, wherever the host loaded it from.
std::filesystem::path library_file();

// What a failing JNI_CreateJavaVM leaves behind: SetLastError / errno.
void set_last_error(long long code);

// An exported function of the main program, or null.
void* find_program_export(const char* name);

// VM option strings come in the platform encoding, as a real JVM reads them:
// the ANSI code page on Windows, UTF-8 elsewhere.
std::u16string decode_option_text(const char* text);

// fopen that takes any path (Windows: wide API).
std::FILE* open_file(const std::filesystem::path& path, const char* mode);

// Touches the library's load-time dependency (Windows: standin_dep.dll).
void use_load_time_dependency();

} // namespace standin::platform
