#include "env_support.h"

#include "java_text.h"
#include "trace.h"

#include <cstdio>

namespace standin {

namespace {

const char* kind_name(ObjectKind kind)
{
    switch (kind) {
    case ObjectKind::Class: return "a class";
    case ObjectKind::Instance: return "an object";
    case ObjectKind::String: return "a string";
    case ObjectKind::ObjectArray: return "an object array";
    case ObjectKind::ByteArray: return "a byte array";
    }
    return "an object";
}

} // namespace

Object* expect_object(const void* handle, ObjectKind kind, const char* function)
{
    Object* object = Runtime::instance().heap().resolve(handle, function);
    if (object == nullptr)
        fatal(std::string(function) + " got null where it needs " + kind_name(kind));
    if (object->kind != kind)
        fatal(std::string(function) + " got " + describe_value(object) + " where it needs " + kind_name(kind));
    return object;
}

std::u16string jni_text(const char* text, const char* function)
{
    if (text == nullptr)
        fatal(std::string(function) + " got a null string");
    return decode_utf8(text);
}

std::string raise(const std::u16string& class_name, std::optional<std::u16string> message)
{
    Runtime& runtime = Runtime::instance();
    runtime.set_pending_exception(runtime.heap().new_throwable(class_name, std::move(message), {}));
    return " -> NULL (" + ascii_name(class_name) + ")";
}

std::string out_of_memory()
{
    return raise(u"java/lang/OutOfMemoryError", std::u16string(u"Java heap space"));
}

std::string throws_note(const std::u16string& class_name)
{
    return " (throws " + ascii_name(class_name) + ")";
}

std::string hex(jint value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(value));
    return text;
}

} // namespace standin
