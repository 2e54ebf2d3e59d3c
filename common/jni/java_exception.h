// Java exceptions that a JNI call on the main thread leaves pending.
#pragma once

#include <jni.h>

#include <string>

// Has the virtual machine print a pending exception with its stack trace to
// standard error, then clears it; true when one was pending. Inline, for the
// splash natives, which do not link the host.
inline bool describeAndClearException(JNIEnv* env)
{
    if (!env->ExceptionCheck())
        return false;
    env->ExceptionDescribe();
    env->ExceptionClear();
    return true;
}

// For a JNI call that could not make what was asked (out of memory): the
// Java side's account first, then a std::runtime_error with the message.
[[noreturn]] void failAfterDescribing(JNIEnv* env, const std::string& message);
