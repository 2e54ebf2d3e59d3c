// The JavaVM table: one VM, one env shared by every attached thread.
#include "env_support.h"
#include "hooks.h"
#include "jni_tables.h"
#include "trace.h"

namespace standin {
namespace {

jint JNICALL destroy_java_vm(JavaVM*)
{
    auto guard = Runtime::instance().lock();
    const std::optional<jint> exit_code = Runtime::instance().description().destroy_exit_code;
    if (exit_code) {
        trace("DestroyJavaVM (exits " + std::to_string(*exit_code) + ")");
        guard.unlock();
        runtime_exit(*exit_code);
    }
    trace("DestroyJavaVM -> 0");
    return JNI_OK;
}

jint attach(const char* function, void** penv)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    if (penv == nullptr)
        fatal(std::string(function) + " got nowhere to put the env");
    runtime.set_attached(true);
    *penv = runtime.env();
    trace(std::string(function) + " -> 0");
    return JNI_OK;
}

jint JNICALL attach_current_thread(JavaVM*, void** penv, void*)
{
    return attach("AttachCurrentThread", penv);
}

jint JNICALL attach_current_thread_as_daemon(JavaVM*, void** penv, void*)
{
    return attach("AttachCurrentThreadAsDaemon", penv);
}

jint JNICALL detach_current_thread(JavaVM*)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    runtime.set_attached(false);
    trace("DetachCurrentThread -> 0");
    return JNI_OK;
}

jint JNICALL get_env(JavaVM*, void** penv, jint version)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    if (penv == nullptr)
        fatal("GetEnv got nowhere to put the env");
    jint result = JNI_OK;
    if (!runtime.attached())
        result = JNI_EDETACHED;
    else if (!is_supported_jni_version(version, true))
        result = JNI_EVERSION;
    *penv = result == JNI_OK ? runtime.env() : nullptr;
    trace("GetEnv " + hex(version) + " -> " + std::to_string(result));
    return result;
}

JNIInvokeInterface_ build_table()
{
    JNIInvokeInterface_ table{};
    table.DestroyJavaVM = destroy_java_vm;
    table.AttachCurrentThread = attach_current_thread;
    table.DetachCurrentThread = detach_current_thread;
    table.GetEnv = get_env;
    table.AttachCurrentThreadAsDaemon = attach_current_thread_as_daemon;
    return table;
}

} // namespace

const JNIInvokeInterface_* invoke_function_table()
{
    static const JNIInvokeInterface_ table = build_table();
    return &table;
}

} // namespace standin
