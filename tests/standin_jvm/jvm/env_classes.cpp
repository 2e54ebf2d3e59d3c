// Classes, method IDs and native registration.
#include "env_support.h"
#include "java_text.h"
#include "jni_tables.h"
#include "trace.h"

namespace standin {
namespace {

constexpr std::u16string_view kStringClass = u"java/lang/String";

bool class_exists(Runtime& runtime, std::u16string_view name)
{
    return name == kStringClass || runtime.description().find_class(name) != nullptr;
}

jclass JNICALL find_class(JNIEnv*, const char* name)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    const std::u16string class_name = jni_text(name, "FindClass");
    std::string line = "FindClass " + java_literal(class_name);
    if (!class_exists(runtime, class_name)) {
        trace(line + raise(u"java/lang/NoClassDefFoundError", class_name));
        return nullptr;
    }
    trace(line + " -> class " + ascii_name(class_name));
    return to_handle<jclass>(runtime.heap().class_object(class_name));
}

jmethodID lookup_method(const char* function, jclass clazz, const char* name, const char* sig, bool is_static)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    const Object* owner = expect_object(clazz, ObjectKind::Class, function);
    const std::u16string method_name = jni_text(name, function);
    const std::u16string descriptor = jni_text(sig, function);
    MemberKind kind = MemberKind::Static;
    if (!is_static)
        kind = method_name == u"<init>" ? MemberKind::Constructor : MemberKind::Method;

    const ClassDescription* described = runtime.description().find_class(owner->class_name);
    const Member* member = described ? described->find(kind, method_name, descriptor) : nullptr;
    std::string line = std::string(function) + " " + ascii_name(owner->class_name) + " "
        + java_literal(method_name) + " " + java_literal(descriptor);
    if (member == nullptr) {
        trace(line + raise(u"java/lang/NoSuchMethodError", method_name));
        return nullptr;
    }
    trace(line + " -> method");
    return runtime.method_id(*member);
}

jmethodID JNICALL get_static_method_id(JNIEnv*, jclass clazz, const char* name, const char* sig)
{
    return lookup_method("GetStaticMethodID", clazz, name, sig, true);
}

jmethodID JNICALL get_method_id(JNIEnv*, jclass clazz, const char* name, const char* sig)
{
    return lookup_method("GetMethodID", clazz, name, sig, false);
}

jfieldID JNICALL get_static_field_id(JNIEnv*, jclass clazz, const char* name, const char* sig)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    const Object* owner = expect_object(clazz, ObjectKind::Class, "GetStaticFieldID");
    const std::u16string field_name = jni_text(name, "GetStaticFieldID");
    const std::u16string type = jni_text(sig, "GetStaticFieldID");
    const ClassDescription* described = runtime.description().find_class(owner->class_name);
    const Member* member = described ? described->find(MemberKind::Field, field_name, type) : nullptr;
    const std::string line = "GetStaticFieldID " + ascii_name(owner->class_name) + " " + java_literal(field_name)
        + " " + java_literal(type);
    if (member == nullptr) {
        trace(line + raise(u"java/lang/NoSuchFieldError", field_name));
        return nullptr;
    }
    trace(line + " -> field");
    return reinterpret_cast<jfieldID>(runtime.method_id(*member));
}

// The value of an object field: a new object of the field's type.
jobject JNICALL get_static_object_field(JNIEnv*, jclass clazz, jfieldID id)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    expect_object(clazz, ObjectKind::Class, "GetStaticObjectField");
    const Member* member = runtime.member(reinterpret_cast<jmethodID>(id), "GetStaticObjectField");
    if (member->kind != MemberKind::Field || member->signature.return_type != 'L')
        fatal("GetStaticObjectField got the ID of " + ascii_name(member->name) + ", which is no object field");
    std::u16string type = member->descriptor;
    if (type.size() > 2 && type.front() == u'L' && type.back() == u';')
        type = type.substr(1, type.size() - 2);
    trace("GetStaticObjectField " + ascii_name(member->class_name) + "." + ascii_name(member->name) + " -> object "
          + ascii_name(type));
    return to_handle<jobject>(runtime.heap().new_instance(type));
}

jclass JNICALL get_object_class(JNIEnv*, jobject object)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    const Object* target = runtime.heap().resolve(object, "GetObjectClass");
    if (target == nullptr)
        fatal("GetObjectClass got null");
    const std::u16string class_name = target->kind == ObjectKind::Class ? u"java/lang/Class" : target->class_name;
    trace("GetObjectClass " + describe_value(target) + " -> class " + ascii_name(class_name));
    return to_handle<jclass>(runtime.heap().class_object(class_name));
}

jint JNICALL register_natives(JNIEnv*, jclass clazz, const JNINativeMethod* methods, jint count)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    const Object* owner = expect_object(clazz, ObjectKind::Class, "RegisterNatives");
    if (count < 0 || (count > 0 && methods == nullptr))
        fatal("RegisterNatives got no methods");

    std::string line = "RegisterNatives " + ascii_name(owner->class_name) + " " + std::to_string(count) + " [";
    for (jint i = 0; i < count; ++i) {
        if (i > 0)
            line += ", ";
        line += java_literal(jni_text(methods[i].name, "RegisterNatives") + u" "
                             + jni_text(methods[i].signature, "RegisterNatives"));
    }
    line += "]";

    // Binds in order and stops at the first undeclared one, as HotSpot does.
    const ClassDescription* described = runtime.description().find_class(owner->class_name);
    auto& bound = runtime.natives()[owner->class_name];
    for (jint i = 0; i < count; ++i) {
        const std::u16string name = decode_utf8(methods[i].name);
        const std::u16string signature = decode_utf8(methods[i].signature);
        if (described == nullptr || described->find(MemberKind::Native, name, signature) == nullptr) {
            raise(u"java/lang/NoSuchMethodError", name);
            trace(line + " -> -1 (java/lang/NoSuchMethodError)");
            return JNI_ERR;
        }
        bound[name] = methods[i].fnPtr;
    }
    trace(line + " -> 0");
    return JNI_OK;
}

jint JNICALL unregister_natives(JNIEnv*, jclass clazz)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    const Object* owner = expect_object(clazz, ObjectKind::Class, "UnregisterNatives");
    runtime.natives().erase(owner->class_name);
    trace("UnregisterNatives " + ascii_name(owner->class_name) + " -> 0");
    return JNI_OK;
}

} // namespace

void install_class_functions(JNINativeInterface_& table)
{
    table.FindClass = find_class;
    table.GetStaticMethodID = get_static_method_id;
    table.GetMethodID = get_method_id;
    table.GetObjectClass = get_object_class;
    table.GetStaticFieldID = get_static_field_id;
    table.GetStaticObjectField = get_static_object_field;
    table.RegisterNatives = register_natives;
    table.UnregisterNatives = unregister_natives;
}

} // namespace standin
