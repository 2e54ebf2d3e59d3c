// What calling a described constructor or method does, apart from tracing.
#pragma once

#include "description.h"
#include "heap.h"

#include <jni.h>

#include <cstdarg>
#include <string>
#include <vector>

namespace standin {

// Locks briefly; a method ID the stand-in did not hand out is fatal.
const Member& member_for_call(jmethodID id, const char* function);

// The arguments in one normal form: int-like types in .i, float and double
// in .d, references in .l, long in .j.
std::vector<jvalue> read_arguments(const MethodSignature& signature, va_list arguments);
std::vector<jvalue> copy_arguments(const MethodSignature& signature, const jvalue* arguments);

// " arg1 arg2" for the trace; the caller holds the lock.
std::string describe_arguments(const MethodSignature& signature, const std::vector<jvalue>& arguments,
                               const char* function);

// The first conditional result whose file exists, else the plain one.
jint choose_result(const Member& member);

void apply_file_effects(const Member& member);

// The throwable a `throws` clause leaves pending; the caller holds the lock.
Object* make_thrown(const Member& member);

} // namespace standin
