// The one export a host looks up: JNI_CreateJavaVM.
#include "description.h"
#include "env_support.h"
#include "hooks.h"
#include "java_text.h"
#include "platform.h"
#include "runtime.h"
#include "trace.h"

#include <jni.h>

#include <exception>
#include <optional>
#include <vector>

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
    CreateEnding ending = CreateEnding::Succeeds;
    jint exit_code = 0;
    std::vector<std::u16string> prints;
};

std::string describe_ending(const Outcome& outcome)
{
    switch (outcome.ending) {
    case CreateEnding::Exits: return "exits " + std::to_string(outcome.exit_code);
    case CreateEnding::Aborts: return "aborts";
    case CreateEnding::Succeeds:
    case CreateEnding::Fails: break;
    }
    std::string text = std::to_string(outcome.result);
    if (outcome.last_error)
        text += " (lasterror " + std::to_string(*outcome.last_error) + ")";
    return text;
}

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

    Outcome outcome;
    if (arguments == nullptr || !is_supported_jni_version(arguments->version, false)) {
        outcome.result = JNI_EVERSION;
    } else {
        outcome.ending = description.create_ending;
        outcome.exit_code = description.create_exit_code;
        outcome.prints = description.create_prints;
        if (outcome.ending == CreateEnding::Fails) {
            outcome.result = JNI_ERR;
            outcome.last_error = description.last_error;
        }
    }

    trace("JNI_CreateJavaVM" + describe_init_arguments(arguments) + " -> " + describe_ending(outcome));
    runtime.replace_description(std::move(description));
    runtime.reset_allocations();
    runtime.set_hooks(hooks_of(arguments));

    if (outcome.result != JNI_OK || outcome.ending != CreateEnding::Succeeds) {
        if (pvm != nullptr)
            *pvm = nullptr;
        if (penv != nullptr)
            *penv = nullptr;
        return outcome;
    }
    if (pvm == nullptr || penv == nullptr)
        fatal("JNI_CreateJavaVM got nowhere to put the VM");
    runtime.set_attached(true);
    *pvm = runtime.vm();
    *penv = runtime.env();
    return outcome;
}

} // namespace
} // namespace standin

extern "C" JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM** pvm, void** penv, void* arguments)
{
    using namespace standin;
    const auto outcome = create_java_vm(pvm, penv, static_cast<const JavaVMInitArgs*>(arguments));
    // Outside the lock: the host's hooks run here.
    for (const std::u16string& text : outcome.prints)
        runtime_print(text);
    if (outcome.ending == CreateEnding::Exits)
        runtime_exit(outcome.exit_code);
    if (outcome.ending == CreateEnding::Aborts)
        runtime_abort();
    // Set after the lock and every file call, which could overwrite it.
    if (outcome.last_error)
        platform::set_last_error(*outcome.last_error);
    return outcome.result;
}
