// The pending exception of the calling thread.
#include "env_support.h"
#include "java_text.h"
#include "jni_tables.h"
#include "trace.h"

#include <cstdio>

namespace standin {
namespace {

std::u16string dotted(std::u16string name)
{
    for (char16_t& c : name)
        if (c == u'/')
            c = u'.';
    return name;
}

jint JNICALL throw_object(JNIEnv*, jthrowable throwable)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    Object* target = runtime.heap().resolve(throwable, "Throw");
    if (target == nullptr)
        fatal("Throw got null");
    runtime.set_pending_exception(target);
    trace("Throw " + ascii_name(target->class_name) + " -> 0");
    return JNI_OK;
}

jint JNICALL throw_new(JNIEnv*, jclass clazz, const char* message)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    const Object* type = expect_object(clazz, ObjectKind::Class, "ThrowNew");
    std::optional<std::u16string> text;
    if (message != nullptr)
        text = decode_utf8(message);
    runtime.set_pending_exception(runtime.heap().new_throwable(type->class_name, text, {}));
    trace("ThrowNew " + ascii_name(type->class_name) + " " + (text ? java_literal(*text) : "null") + " -> 0");
    return JNI_OK;
}

jthrowable JNICALL exception_occurred(JNIEnv*)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    Object* pending = runtime.pending_exception();
    trace(std::string("ExceptionOccurred -> ") + (pending ? ascii_name(pending->class_name) : "NULL"));
    return to_handle<jthrowable>(pending);
}

// Prints like HotSpot for an exception from the main thread, and clears it
// as HotSpot does.
void JNICALL exception_describe(JNIEnv*)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    trace("ExceptionDescribe");
    const Object* pending = runtime.pending_exception();
    if (pending == nullptr)
        return;
    std::u16string text = u"Exception in thread \"main\" " + dotted(pending->class_name);
    if (pending->message)
        text += u": " + *pending->message;
    text += u"\n";
    if (!pending->thrown_from.empty())
        text += u"\tat " + dotted(pending->thrown_from) + u"(Stand-in)\n";
    const std::string bytes = encode_utf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stderr);
    std::fflush(stderr);
    runtime.set_pending_exception(nullptr);
}

void JNICALL exception_clear(JNIEnv*)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    runtime.set_pending_exception(nullptr);
    trace("ExceptionClear");
}

jboolean JNICALL exception_check(JNIEnv*)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    const bool pending = runtime.pending_exception() != nullptr;
    trace(std::string("ExceptionCheck -> ") + (pending ? "1" : "0"));
    return pending ? JNI_TRUE : JNI_FALSE;
}

} // namespace

void install_exception_functions(JNINativeInterface_& table)
{
    table.Throw = throw_object;
    table.ThrowNew = throw_new;
    table.ExceptionOccurred = exception_occurred;
    table.ExceptionDescribe = exception_describe;
    table.ExceptionClear = exception_clear;
    table.ExceptionCheck = exception_check;
}

} // namespace standin
