// The invocation API's hooks: the Java runtime's own output ("vfprintf") and
// its two ways of ending the process ("exit", "abort").
//
// A runtime that rejects an option or finds too little memory does not return
// from JNI_CreateJavaVM: it prints why and ends the process itself, and on
// Windows that text goes to a standard output nobody sees. While a creation
// runs, the hooks keep what the runtime prints and turn such an end into the
// program's own failure report and exit code.
#pragma once

#include <jni.h>

#include <functional>
#include <string>
#include <vector>

// The three hook options. They go before every other option, so that the
// runtime already uses them while it reads the rest.
std::vector<JavaVMOption> javaRuntimeHookOptions();

// One creation of the virtual machine, from construction to destruction.
// Meanwhile the runtime's output, passed on as always, is also kept; a
// runtime that ends the process with a non-zero code or aborts is reported
// through reportFailure as "Error creating VM. " + that output, and the
// process ends with 574. Before and after, the hooks change nothing: output
// passes through unchanged and System.exit(n) ends the process with n.
class JavaRuntimeCreation {
public:
    JavaRuntimeCreation();
    ~JavaRuntimeCreation();
    JavaRuntimeCreation(const JavaRuntimeCreation&) = delete;
    JavaRuntimeCreation& operator=(const JavaRuntimeCreation&) = delete;

    // What the runtime has printed so far (its last 16 KiB at most, from a
    // line start), without line ends at either end.
    std::string output() const;
};

// While one lives, what the runtime prints through the hook is dropped: its
// own report of work that the launcher asks of it (writing a class-data
// archive) must not reach the application's output. Should the runtime end
// the process meanwhile (it aborts when it cannot write the archive, and some
// versions exit without a hook), `onEnd` runs and the process ends with
// `exitCode`, the program's own result, not the runtime's.
class QuietJavaRuntime {
public:
    QuietJavaRuntime(int exitCode, const std::function<void()>& onEnd);
    ~QuietJavaRuntime();
    QuietJavaRuntime(const QuietJavaRuntime&) = delete;
    QuietJavaRuntime& operator=(const QuietJavaRuntime&) = delete;
};

// While one lives (the virtual machine's end, endJavaVM), a runtime that ends
// the process does not end it with its own code: `finish` runs and the
// process ends with its result, or with 574 after reportFailure when it
// throws.
class JavaRuntimeEnd {
public:
    explicit JavaRuntimeEnd(const std::function<int()>& finish);
    ~JavaRuntimeEnd();
    JavaRuntimeEnd(const JavaRuntimeEnd&) = delete;
    JavaRuntimeEnd& operator=(const JavaRuntimeEnd&) = delete;
};
