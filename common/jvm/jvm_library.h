// Platform seam: finding JNI_CreateJavaVM in a Java runtime directory.
#pragma once

#include <jni.h>

#include <string>

using CreateJavaVMFunction = jint(JNICALL*)(JavaVM**, void**, void*);

// Path of the runtime library below jreDir, without normalising jreDir.
std::string javaRuntimeLibraryPath(const std::string& jreDir);

// Loads the library for the life of the process and returns its entry point.
// Throws std::runtime_error with the platform's failure text when the library
// cannot be loaded or has no entry point.
CreateJavaVMFunction loadJavaRuntime(const std::string& jreDir);
