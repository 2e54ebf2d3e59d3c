// The String[] that both programs hand to their Java entry points.
#pragma once

#include "local_ref.h"

#include <jni.h>

#include <string>
#include <vector>

// Every slot starts as the empty string and then holds its argument, made
// from the narrow text with a proper conversion. Only the array's own
// reference is left when it returns, so any number of arguments fits in the
// thread's local references. Throws std::runtime_error, after the Java
// exception is described and cleared, when the virtual machine cannot make
// the array or one of its strings.
LocalRef<jobjectArray> newJavaStringArray(JNIEnv* env, const std::vector<std::string>& arguments);
