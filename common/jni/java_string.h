// Java strings from the programs' narrow text.
#pragma once

#include <jni.h>

#include <string>

// The narrow text as UTF-16: from the active code page on Windows, from UTF-8
// on Linux (ill-formed sequences become U+FFFD).
std::u16string narrowToUtf16(const std::string& narrow);

// A Java string holding the characters of the narrow text. NewStringUTF would
// take the bytes as modified UTF-8, which code-page text is not.
jstring newJavaString(JNIEnv* env, const std::string& narrow);
