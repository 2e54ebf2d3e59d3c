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
// the process meanwhile (it does so when it cannot write the archive), it
// ends with `exitCode`, the program's own result, not the runtime's.
class QuietJavaRuntime {
public:
    explicit QuietJavaRuntime(int exitCode);
    ~QuietJavaRuntime();
    QuietJavaRuntime(const QuietJavaRuntime&) = delete;
    QuietJavaRuntime& operator=(const QuietJavaRuntime&) = delete;
};
