// The two function tables the host calls through.
#pragma once

#include <jni.h>

namespace standin {

const JNINativeInterface_* env_function_table();
const JNIInvokeInterface_* invoke_function_table();

// Each fills its share of the env table.
void install_class_functions(JNINativeInterface_& table);
void install_call_functions(JNINativeInterface_& table);
void install_string_functions(JNINativeInterface_& table);
void install_array_functions(JNINativeInterface_& table);
void install_exception_functions(JNINativeInterface_& table);
void install_reference_functions(JNINativeInterface_& table);

} // namespace standin
