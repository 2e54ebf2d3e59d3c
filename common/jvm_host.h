// The in-process Java virtual machine and the process-wide values that both
// programs share.
#pragma once

#include <jni.h>

#include <string>
#include <vector>

// Set by the program's verbose option; never reset.
extern bool verboseMode;
// Filled by createJavaVM; processJNIEnv belongs to the main thread.
extern JavaVM* processJavaVM;
extern JNIEnv* processJNIEnv;

// Loads the Java runtime below jreDir and creates the virtual machine with
// the given options, in order, after the runtime hooks (jvm_hooks.h). Throws
// std::runtime_error on failure; a runtime that ends the process instead is
// reported through reportFailure and the process ends with 574.
void createJavaVM(const std::string& jreDir, const std::vector<std::string>& options);
