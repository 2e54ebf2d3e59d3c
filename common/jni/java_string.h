// Java strings from the programs' narrow text.
#pragma once

#include <jni.h>

#include <string>

// A Java string holding the characters of the narrow text. NewStringUTF would
// take the bytes as modified UTF-8, which code-page text is not.
jstring newJavaString(JNIEnv* env, const std::string& narrow);
