#include "hooks.h"

#include "java_text.h"
#include "runtime.h"
#include "trace.h"

#include <cstdlib>
#include <cstring>

namespace standin {
namespace {

jint call_vfprintf(VfprintfHook hook, std::FILE* stream, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    const jint written = hook(stream, format, arguments);
    va_end(arguments);
    return written;
}

[[noreturn]] void end_process(jint code)
{
    {
        auto guard = Runtime::instance().lock();
        trace("exit " + std::to_string(code));
    }
    std::fflush(stdout);
    std::exit(code);
}

} // namespace

Hooks hooks_of(const JavaVMInitArgs* arguments)
{
    Hooks hooks;
    if (arguments == nullptr)
        return hooks;
    for (jint i = 0; i < arguments->nOptions; ++i) {
        const JavaVMOption& option = arguments->options[i];
        if (option.optionString == nullptr)
            continue;
        if (std::strcmp(option.optionString, "vfprintf") == 0)
            hooks.vfprintf = reinterpret_cast<VfprintfHook>(option.extraInfo);
        else if (std::strcmp(option.optionString, "exit") == 0)
            hooks.exit = reinterpret_cast<ExitHook>(option.extraInfo);
        else if (std::strcmp(option.optionString, "abort") == 0)
            hooks.abort = reinterpret_cast<AbortHook>(option.extraInfo);
    }
    return hooks;
}

void runtime_print(const std::u16string& text)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    const VfprintfHook hook = runtime.hooks().vfprintf;
    trace(std::string(hook != nullptr ? "vfprintf hook " : "stderr ") + java_literal(text));
    guard.unlock();
    const std::string bytes = encode_utf8(text);
    if (hook != nullptr) {
        call_vfprintf(hook, stderr, "%s", bytes.c_str());
    } else {
        std::fputs(bytes.c_str(), stderr);
        std::fflush(stderr);
    }
}

void runtime_exit(jint code)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    const ExitHook hook = runtime.hooks().exit;
    if (hook != nullptr)
        trace("exit hook " + std::to_string(code));
    guard.unlock();
    if (hook != nullptr)
        hook(code);
    end_process(code);
}

void runtime_abort()
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    const AbortHook hook = runtime.hooks().abort;
    if (hook != nullptr)
        trace("abort hook");
    guard.unlock();
    if (hook != nullptr)
        hook();
    end_process(1);
}

} // namespace standin
