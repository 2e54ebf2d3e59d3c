// libjvm.so opened from the runtime folder.
#include "jvm_library.h"

#include <dlfcn.h>

#include <stdexcept>

std::string javaRuntimeLibraryPath(const std::string& jreDir)
{
    return jreDir + "/lib/server/libjvm.so";
}

CreateJavaVMFunction loadJavaRuntime(const std::string& jreDir)
{
    const std::string library = javaRuntimeLibraryPath(jreDir);
    // The runtime stays loaded for the life of the process.
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (handle == nullptr) {
        const char* error = dlerror();
        throw std::runtime_error(std::string("Failed to load libjvm.so. ") + (error ? error : ""));
    }
    dlerror();
    auto entry = reinterpret_cast<CreateJavaVMFunction>(dlsym(handle, "JNI_CreateJavaVM"));
    if (entry == nullptr)
        throw std::runtime_error("Error creating VM. The Java runtime has no JNI_CreateJavaVM entry point: " +
                                 library);
    return entry;
}
