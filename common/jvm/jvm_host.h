// The in-process Java virtual machine and the process-wide values that both
// programs share.
#pragma once

#include <jni.h>

#include <functional>
#include <string>
#include <vector>

// Set by the program's verbose option; never reset.
extern bool verboseMode;
// Filled by createJavaVM, cleared by endJavaVM; processJNIEnv belongs to the
// main thread.
extern JavaVM* processJavaVM;
extern JNIEnv* processJNIEnv;

// Loads the Java runtime below jreDir and creates the virtual machine with
// the given options, in order, after the runtime hooks (jvm_hooks.h). Throws
// std::runtime_error on failure; a runtime that ends the process instead is
// reported through reportFailure and the process ends with 574.
void createJavaVM(const std::string& jreDir, const std::vector<std::string>& options);

// Ends the virtual machine's life as the java command does, so that the
// application's data is written before anything else happens: the main
// thread leaves the machine (a thread that joins it goes on), then
// DestroyJavaVM waits for every non-daemon thread and runs the shutdown
// hooks. Then `finish`, the rest of the program, runs and its result is
// returned. Should the runtime end the process meanwhile (System.exit on a
// thread still running, or in a hook), `finish` runs there instead and the
// process ends with its result: what the program does and reports stays the
// same. Every local reference of the main thread must be gone before.
int endJavaVM(const std::function<int()>& finish);
