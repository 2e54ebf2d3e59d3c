// The virtual machine created in this process, and ended as java ends it.
#include "jvm_host.h"

#include "jvm_hooks.h"
#include "jvm_library.h"
#include "process.h"

#include <cerrno>
#include <iostream>
#include <stdexcept>

bool verboseMode = false;
JavaVM* processJavaVM = nullptr;
JNIEnv* processJNIEnv = nullptr;

void createJavaVM(const std::string& jreDir, const std::vector<std::string>& options)
{
    // The option texts stay owned by the caller's list; only the array is ours.
    std::vector<JavaVMOption> vmOptions = javaRuntimeHookOptions();
    for (const std::string& option : options) {
        JavaVMOption vmOption;
        vmOption.optionString = const_cast<char*>(option.c_str());
        vmOption.extraInfo = nullptr;
        vmOptions.push_back(vmOption);
    }
    JavaVMInitArgs args{};
    args.version = JNI_VERSION_10;
    args.nOptions = static_cast<jint>(vmOptions.size());
    args.options = vmOptions.data();
    args.ignoreUnrecognized = JNI_TRUE;

    CreateJavaVMFunction create = loadJavaRuntime(jreDir);
    const JavaRuntimeCreation creation;
    // On Linux the error text comes from errno: only what the runtime sets
    // may show in it.
    errno = 0;
    jint result = create(&processJavaVM, reinterpret_cast<void**>(&processJNIEnv), &args);
    if (result != JNI_OK) {
        // Read first: keeping the output may change the last error.
        const std::string systemText = lastErrorText();
        // What the runtime printed says more than a last error it did not
        // mean to report.
        const std::string printed = creation.output();
        throw std::runtime_error("Error creating VM. " + (printed.empty() ? systemText : printed));
    }
    if (verboseMode)
        std::cout << "JVM created" << std::endl;
}

int endJavaVM(const std::function<int()>& finish)
{
    {
        const JavaRuntimeEnd ending(finish);
        processJavaVM->DetachCurrentThread();
        processJNIEnv = nullptr;
        processJavaVM->DestroyJavaVM();
        processJavaVM = nullptr;
    }
    return finish();
}
