// The one export a host looks up: JNI_CreateJavaVM.
#include "description.h"
#include "env_support.h"
#include "java_text.h"
#include "platform.h"
#include "runtime.h"
#include "trace.h"

#include <jni.h>

#include <exception>
#include <optional>

namespace standin {
namespace {

std::string describe_init_arguments(const JavaVMInitArgs* arguments)
{
    if (arguments == nullptr)
        return " args=NULL";
    std::string text = " version=" + hex(arguments->version)
        + " ignoreUnrecognized=" + std::to_string(arguments->ignoreUnrecognized) + " options=[";
    for (jint i = 0; i < arguments->nOptions; ++i) {
        if (i > 0)
            text += ", ";
        const char* option = arguments->options[i].optionString;
        text += option ? java_literal(platform::decode_option_text(option)) : "null";
    }
    return text + "]";
}

struct Outcome {
    jint result = JNI_OK;
    std::optional<long long> last_error;
};

Outcome create_java_vm(JavaVM** pvm, void** penv, const JavaVMInitArgs* arguments)
{
    platform::use_load_time_dependency();
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();

    Description description;
    try {
        description = load_description(home_directory() / "standin.txt");
    } catch (const std::exception& error) {
        fatal(error.what());
    }

    jint result = JNI_OK;
    if (arguments == nullptr || !is_supported_jni_version(arguments->version, false))
        result = JNI_EVERSION;
    else if (description.create_fails)
        result = JNI_ERR;
    const std::optional<long long> last_error = result == JNI_ERR ? description.last_error : std::nullopt;

    std::string line = "JNI_CreateJavaVM" + describe_init_arguments(arguments) + " -> " + std::to_string(result);
    if (last_error)
        line += " (lasterror " + std::to_string(*last_error) + ")";
    trace(line);
    runtime.replace_description(std::move(description));

    if (result != JNI_OK) {
        if (pvm != nullptr)
            *pvm = nullptr;
        if (penv != nullptr)
            *penv = nullptr;
        return {result, last_error};
    }
    if (pvm == nullptr || penv == nullptr)
        fatal("JNI_CreateJavaVM got nowhere to put the VM");
    runtime.set_attached(true);
    *pvm = runtime.vm();
    *penv = runtime.env();
    return {};
}

} // namespace
} // namespace standin

extern "C" JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM** pvm, void** penv, void* arguments)
{
    const auto outcome = standin::create_java_vm(pvm, penv, static_cast<const JavaVMInitArgs*>(arguments));
    // Set after the lock and every file call, which could overwrite it.
    if (outcome.last_error)
        standin::platform::set_last_error(*outcome.last_error);
    return outcome.result;
}
