// The invocation API's hooks a host may pass as options ("vfprintf", "exit",
// "abort", each with the function in extraInfo), and what a real runtime
// does with them: its own output goes through vfprintf, and before it ends
// the process it calls exit (or abort) and then exits itself.
#pragma once

#include <jni.h>

#include <cstdarg>
#include <cstdio>
#include <string>

namespace standin {

using VfprintfHook = jint(JNICALL*)(std::FILE*, const char*, va_list);
using ExitHook = void(JNICALL*)(jint);
using AbortHook = void(JNICALL*)();

struct Hooks {
    VfprintfHook vfprintf = nullptr;
    ExitHook exit = nullptr;
    AbortHook abort = nullptr;
};

// The hooks among the options (null ones count as none).
Hooks hooks_of(const JavaVMInitArgs* arguments);

// These take the runtime lock for their trace lines and drop it before they
// call into the host.

// Text on stderr, through the vfprintf hook when there is one.
void runtime_print(const std::u16string& text);

// Ends the process as System.exit(code) does: the exit hook, then exit(code).
[[noreturn]] void runtime_exit(jint code);

// Ends the process as HotSpot does when it gives up while starting: the
// abort hook, then exit(1).
[[noreturn]] void runtime_abort();

} // namespace standin
