#include "jvm_host.h"

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
    std::vector<JavaVMOption> vmOptions(options.size());
    for (size_t i = 0; i < options.size(); ++i) {
        vmOptions[i].optionString = const_cast<char*>(options[i].c_str());
        vmOptions[i].extraInfo = nullptr;
    }
    JavaVMInitArgs args{};
    args.version = JNI_VERSION_10;
    args.nOptions = static_cast<jint>(vmOptions.size());
    args.options = vmOptions.empty() ? nullptr : vmOptions.data();
    args.ignoreUnrecognized = JNI_TRUE;

    CreateJavaVMFunction create = loadJavaRuntime(jreDir);
    // On Linux the error text comes from errno: only what the runtime sets
    // may show in it.
    errno = 0;
    jint result = create(&processJavaVM, reinterpret_cast<void**>(&processJNIEnv), &args);
    if (result != JNI_OK)
        throw std::runtime_error("Error creating VM. " + lastErrorText());
    if (verboseMode)
        std::cout << "JVM created" << std::endl;
}
