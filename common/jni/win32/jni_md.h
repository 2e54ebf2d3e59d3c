// Machine-dependent JNI types for Windows x64, written from the JNI
// definition: jint is 32 bits (long is 32 bits on Windows, so it cannot be
// used), jlong is 64 bits, exports use __declspec.
#ifndef JLAUNCH_JNI_MD_H
#define JLAUNCH_JNI_MD_H

#include <stdint.h>

#define JNIEXPORT __declspec(dllexport)
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef int32_t jint;
typedef int64_t jlong;
typedef signed char jbyte;

#endif
