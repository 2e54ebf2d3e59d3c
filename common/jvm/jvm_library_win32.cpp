// The Java runtime's jvm.dll loaded from a runtime folder.
#include "jvm_library.h"

#include "process.h"
#include "wide_text_win32.h"

#include <windows.h>

#include <stdexcept>

namespace {

std::string fullPath(const std::string& path)
{
    DWORD size = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return path;
    std::string full(size, '\0');
    DWORD length = GetFullPathNameA(path.c_str(), size, &full[0], nullptr);
    if (length == 0 || length >= size)
        return path;
    full.resize(length);
    return full;
}

} // namespace

std::string javaRuntimeLibraryPath(const std::string& jreDir)
{
    return jreDir + "\\bin\\server\\jvm.dll";
}

CreateJavaVMFunction loadJavaRuntime(const std::string& jreDir)
{
    const std::string library = javaRuntimeLibraryPath(jreDir);

    // jvm.dll links against the C runtime that the JRE ships in <jre>\bin;
    // a plain LoadLibraryA would not look there, so add that folder to the
    // search for the DLL's dependencies. The search flags need full paths.
    const std::string fullLibrary = fullPath(library);
    AddDllDirectory(wideFromNarrow(fullPath(jreDir + "\\bin")).c_str());
    SetLastError(0);
    HMODULE module = LoadLibraryExA(fullLibrary.c_str(), nullptr,
                                    LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR |
                                        LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    if (module == nullptr)
        throw std::runtime_error("Failed to load jvm.dll. " + lastErrorText());

    // The runtime stays loaded for the life of the process.
    auto entry = reinterpret_cast<CreateJavaVMFunction>(
        reinterpret_cast<void*>(GetProcAddress(module, "JNI_CreateJavaVM")));
    if (entry == nullptr)
        throw std::runtime_error("Error creating VM. The Java runtime has no JNI_CreateJavaVM entry point: " +
                                 library);
    return entry;
}
