// Version, the JavaVM, and references. References are the objects themselves:
// nothing is ever freed, so deleting one only leaves a trace line.
#include "env_support.h"
#include "jni_tables.h"
#include "trace.h"

namespace standin {
namespace {

jint JNICALL get_version(JNIEnv*)
{
    auto guard = Runtime::instance().lock();
    trace("GetVersion -> " + hex(JNI_VERSION_10));
    return JNI_VERSION_10;
}

jint JNICALL get_java_vm(JNIEnv*, JavaVM** vm)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    if (vm == nullptr)
        fatal("GetJavaVM got nowhere to put the VM");
    *vm = runtime.vm();
    trace("GetJavaVM -> 0");
    return JNI_OK;
}

jobject reference_call(const char* function, jobject object)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    Object* target = runtime.heap().resolve(object, function);
    trace(std::string(function) + " " + describe_value(target));
    return to_handle<jobject>(target);
}

void JNICALL delete_local_ref(JNIEnv*, jobject object)
{
    reference_call("DeleteLocalRef", object);
}

jobject JNICALL new_global_ref(JNIEnv*, jobject object)
{
    return reference_call("NewGlobalRef", object);
}

void JNICALL delete_global_ref(JNIEnv*, jobject object)
{
    reference_call("DeleteGlobalRef", object);
}

jobject JNICALL pop_local_frame(JNIEnv*, jobject result)
{
    return reference_call("PopLocalFrame", result);
}

jint capacity_call(const char* function, jint capacity)
{
    auto guard = Runtime::instance().lock();
    trace(std::string(function) + " " + std::to_string(capacity) + " -> 0");
    return JNI_OK;
}

jint JNICALL ensure_local_capacity(JNIEnv*, jint capacity)
{
    return capacity_call("EnsureLocalCapacity", capacity);
}

jint JNICALL push_local_frame(JNIEnv*, jint capacity)
{
    return capacity_call("PushLocalFrame", capacity);
}

} // namespace

void install_reference_functions(JNINativeInterface_& table)
{
    table.GetVersion = get_version;
    table.GetJavaVM = get_java_vm;
    table.DeleteLocalRef = delete_local_ref;
    table.NewGlobalRef = new_global_ref;
    table.DeleteGlobalRef = delete_global_ref;
    table.EnsureLocalCapacity = ensure_local_capacity;
    table.PushLocalFrame = push_local_frame;
    table.PopLocalFrame = pop_local_frame;
}

} // namespace standin
