// The operating system's handles that more than one file owns.
#pragma once

#include "unique_handle.h"

#ifdef _WIN32
#include <windows.h>

// Processes, threads, tokens: null when absent.
struct kernel_handle_traits {
    using handle_type = HANDLE;
    static HANDLE invalid() noexcept { return nullptr; }
    static void close(HANDLE handle) noexcept { CloseHandle(handle); }
};
using KernelHandle = unique_handle<kernel_handle_traits>;

// Files: CreateFileW's failure is INVALID_HANDLE_VALUE, not null.
struct file_handle_traits {
    using handle_type = HANDLE;
    static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE handle) noexcept { CloseHandle(handle); }
};
using FileHandle = unique_handle<file_handle_traits>;

// Memory the system allocated for the caller (FormatMessage, CommandLineToArgvW).
struct local_memory_traits {
    using handle_type = HLOCAL;
    static HLOCAL invalid() noexcept { return nullptr; }
    static void close(HLOCAL memory) noexcept { LocalFree(memory); }
};
using LocalMemory = unique_handle<local_memory_traits>;

#else
#include <dirent.h>
#include <unistd.h>

struct file_descriptor_traits {
    using handle_type = int;
    static int invalid() noexcept { return -1; }
    static void close(int descriptor) noexcept { ::close(descriptor); }
};
using FileDescriptor = unique_handle<file_descriptor_traits>;

// A listing closes the descriptor it was opened from (fdopendir).
struct directory_traits {
    using handle_type = DIR*;
    static DIR* invalid() noexcept { return nullptr; }
    static void close(DIR* listing) noexcept { ::closedir(listing); }
};
using DirectoryListing = unique_handle<directory_traits>;

#endif
