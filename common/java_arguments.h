// The String[] that both programs hand to their Java entry points.
#pragma once

#include <jni.h>

#include <string>
#include <vector>

// Every slot starts as the empty string and then holds its argument, made
// from the narrow text with a proper conversion.
jobjectArray newJavaStringArray(JNIEnv* env, const std::vector<std::string>& arguments);
