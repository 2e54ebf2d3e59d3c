// The splash's X11, Xft and PNG libraries are opened when a splash first
// needs them, not when the program starts: a launch without a splash maps
// none of them (nor fontconfig, freetype and the rest that they pull in).
// Each library has one table of the functions that the splash calls, filled
// once, on the splash thread, and kept for the life of the process.
#pragma once

#include <string>

// A shared library opened by its name, never closed; the functions a table
// wants are looked up in it one by one.
class splash_library {
public:
    explicit splash_library(const char* name);

    template <class Function>
    void find(Function*& slot, const char* name)
    {
        slot = reinterpret_cast<Function*>(symbol(name));
    }

    // Empty once the library and every function asked for were found;
    // otherwise the splash's line for it: "Failed to load " and why.
    const std::string& failure() const { return failure_; }

private:
    void* symbol(const char* name);

    void* handle_ = nullptr;
    std::string failure_;
};

// Fills a table's member with the library's function of the same name.
#define SPLASH_FIND(library, table, function) (library).find((table).function, #function)
