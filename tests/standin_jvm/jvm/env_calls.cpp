// NewObject and the calls that return an int or an object, in all three
// argument forms. The V
// and A forms trace under the plain name: jni.h's C++ wrappers turn every
// env->CallStaticIntMethod(...) into CallStaticIntMethodV.
#include "env_support.h"
#include "hooks.h"
#include "invocation.h"
#include "java_text.h"
#include "jni_tables.h"
#include "script.h"
#include "trace.h"

namespace standin {
namespace {

jobject construct(jclass clazz, const Member& member, const std::vector<jvalue>& arguments)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    if (member.kind != MemberKind::Constructor)
        fatal("NewObject got the method ID of " + ascii_name(member.class_name) + "." + ascii_name(member.name)
              + ", not of a constructor");
    const Object* owner = expect_object(clazz, ObjectKind::Class, "NewObject");
    std::string line = "NewObject " + ascii_name(owner->class_name)
        + describe_arguments(member.signature, arguments, "NewObject");
    if (member.thrown)
        line += " -> NULL (" + ascii_name(member.thrown->class_name) + ")";
    else
        line += " -> object " + ascii_name(owner->class_name);
    trace(line);
    apply_file_effects(member);
    guard.unlock();

    run_script(member);
    if (member.exits)
        runtime_exit(*member.exits);

    guard.lock();
    if (member.thrown) {
        runtime.set_pending_exception(make_thrown(member));
        return nullptr;
    }
    return to_handle<jobject>(runtime.heap().new_instance(owner->class_name));
}

jint call_int(const char* function, MemberKind expected, const void* target, const Member& member,
              const std::vector<jvalue>& arguments)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    const std::string qualified = ascii_name(member.class_name) + "." + ascii_name(member.name);
    if (member.kind != expected)
        fatal(std::string(function) + " got the method ID of " + qualified + ", which is not "
              + (expected == MemberKind::Static ? "a static method" : "an instance method"));
    if (expected == MemberKind::Static)
        expect_object(target, ObjectKind::Class, function);
    else if (runtime.heap().resolve(target, function) == nullptr)
        fatal(std::string(function) + " got a null object");

    // The result reflects the files as they were when the call began.
    const jint result = choose_result(member);
    std::string line = std::string(function) + " " + qualified
        + describe_arguments(member.signature, arguments, function) + " -> " + std::to_string(result);
    if (member.thrown)
        line += throws_note(member.thrown->class_name);
    trace(line);
    apply_file_effects(member);
    guard.unlock();

    run_script(member);
    if (member.exits)
        runtime_exit(*member.exits);

    guard.lock();
    if (member.thrown)
        runtime.set_pending_exception(make_thrown(member));
    return result;
}

// The class that a method returning an object names in its descriptor:
// "()Ljavax/management/MBeanServer;" gives javax/management/MBeanServer, an
// array type gives the array's descriptor.
std::u16string returned_class(const std::u16string& descriptor)
{
    std::u16string type = descriptor.substr(descriptor.find(u')') + 1);
    if (type.size() > 2 && type.front() == u'L' && type.back() == u';')
        return type.substr(1, type.size() - 2);
    return type;
}

// A described method that returns an object gives a new instance of the class
// it names.
jobject call_object(const char* function, MemberKind expected, const void* target, const Member& member,
                    const std::vector<jvalue>& arguments)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    const std::string qualified = ascii_name(member.class_name) + "." + ascii_name(member.name);
    if (member.kind != expected)
        fatal(std::string(function) + " got the method ID of " + qualified + ", which is not "
              + (expected == MemberKind::Static ? "a static method" : "an instance method"));
    if (member.signature.return_type != 'L')
        fatal(std::string(function) + " got the method ID of " + qualified + ", which returns no object");
    if (expected == MemberKind::Static)
        expect_object(target, ObjectKind::Class, function);
    else if (runtime.heap().resolve(target, function) == nullptr)
        fatal(std::string(function) + " got a null object");

    const std::u16string returned = returned_class(member.descriptor);
    std::string line = std::string(function) + " " + qualified
        + describe_arguments(member.signature, arguments, function);
    line += member.thrown ? " -> NULL" + throws_note(member.thrown->class_name) : " -> object " + ascii_name(returned);
    trace(line);
    apply_file_effects(member);
    guard.unlock();

    run_script(member);
    if (member.exits)
        runtime_exit(*member.exits);

    guard.lock();
    if (member.thrown) {
        runtime.set_pending_exception(make_thrown(member));
        return nullptr;
    }
    return to_handle<jobject>(runtime.heap().new_instance(returned));
}

jobject JNICALL new_object_v(JNIEnv*, jclass clazz, jmethodID id, va_list arguments)
{
    const Member& member = member_for_call(id, "NewObject");
    return construct(clazz, member, read_arguments(member.signature, arguments));
}

jobject JNICALL new_object_a(JNIEnv*, jclass clazz, jmethodID id, const jvalue* arguments)
{
    const Member& member = member_for_call(id, "NewObject");
    return construct(clazz, member, copy_arguments(member.signature, arguments));
}

jobject JNICALL new_object(JNIEnv* env, jclass clazz, jmethodID id, ...)
{
    va_list arguments;
    va_start(arguments, id);
    jobject result = new_object_v(env, clazz, id, arguments);
    va_end(arguments);
    return result;
}

jint JNICALL call_static_int_v(JNIEnv*, jclass clazz, jmethodID id, va_list arguments)
{
    const Member& member = member_for_call(id, "CallStaticIntMethod");
    return call_int("CallStaticIntMethod", MemberKind::Static, clazz, member,
                    read_arguments(member.signature, arguments));
}

jint JNICALL call_static_int_a(JNIEnv*, jclass clazz, jmethodID id, const jvalue* arguments)
{
    const Member& member = member_for_call(id, "CallStaticIntMethod");
    return call_int("CallStaticIntMethod", MemberKind::Static, clazz, member,
                    copy_arguments(member.signature, arguments));
}

jint JNICALL call_static_int(JNIEnv* env, jclass clazz, jmethodID id, ...)
{
    va_list arguments;
    va_start(arguments, id);
    const jint result = call_static_int_v(env, clazz, id, arguments);
    va_end(arguments);
    return result;
}

jint JNICALL call_int_v(JNIEnv*, jobject object, jmethodID id, va_list arguments)
{
    const Member& member = member_for_call(id, "CallIntMethod");
    return call_int("CallIntMethod", MemberKind::Method, object, member,
                    read_arguments(member.signature, arguments));
}

jint JNICALL call_int_a(JNIEnv*, jobject object, jmethodID id, const jvalue* arguments)
{
    const Member& member = member_for_call(id, "CallIntMethod");
    return call_int("CallIntMethod", MemberKind::Method, object, member,
                    copy_arguments(member.signature, arguments));
}

jint JNICALL call_int_method(JNIEnv* env, jobject object, jmethodID id, ...)
{
    va_list arguments;
    va_start(arguments, id);
    const jint result = call_int_v(env, object, id, arguments);
    va_end(arguments);
    return result;
}

void call_static_void(const void* target, const Member& member, const std::vector<jvalue>& arguments)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    const std::string qualified = ascii_name(member.class_name) + "." + ascii_name(member.name);
    if (member.kind != MemberKind::Static || member.signature.return_type != 'V')
        fatal("CallStaticVoidMethod got the method ID of " + qualified + ", which is no static void method");
    expect_object(target, ObjectKind::Class, "CallStaticVoidMethod");
    std::string line = "CallStaticVoidMethod " + qualified
        + describe_arguments(member.signature, arguments, "CallStaticVoidMethod");
    if (member.thrown)
        line += throws_note(member.thrown->class_name);
    trace(line);
    apply_file_effects(member);
    guard.unlock();

    run_script(member);
    if (member.exits)
        runtime_exit(*member.exits);

    guard.lock();
    if (member.thrown)
        runtime.set_pending_exception(make_thrown(member));
}

void JNICALL call_static_void_v(JNIEnv*, jclass clazz, jmethodID id, va_list arguments)
{
    const Member& member = member_for_call(id, "CallStaticVoidMethod");
    call_static_void(clazz, member, read_arguments(member.signature, arguments));
}

void JNICALL call_static_void_a(JNIEnv*, jclass clazz, jmethodID id, const jvalue* arguments)
{
    const Member& member = member_for_call(id, "CallStaticVoidMethod");
    call_static_void(clazz, member, copy_arguments(member.signature, arguments));
}

void JNICALL call_static_void_method(JNIEnv* env, jclass clazz, jmethodID id, ...)
{
    va_list arguments;
    va_start(arguments, id);
    call_static_void_v(env, clazz, id, arguments);
    va_end(arguments);
}

jobject JNICALL call_static_object_v(JNIEnv*, jclass clazz, jmethodID id, va_list arguments)
{
    const Member& member = member_for_call(id, "CallStaticObjectMethod");
    return call_object("CallStaticObjectMethod", MemberKind::Static, clazz, member,
                       read_arguments(member.signature, arguments));
}

jobject JNICALL call_static_object_a(JNIEnv*, jclass clazz, jmethodID id, const jvalue* arguments)
{
    const Member& member = member_for_call(id, "CallStaticObjectMethod");
    return call_object("CallStaticObjectMethod", MemberKind::Static, clazz, member,
                       copy_arguments(member.signature, arguments));
}

jobject JNICALL call_static_object(JNIEnv* env, jclass clazz, jmethodID id, ...)
{
    va_list arguments;
    va_start(arguments, id);
    jobject result = call_static_object_v(env, clazz, id, arguments);
    va_end(arguments);
    return result;
}

jobject JNICALL call_object_v(JNIEnv*, jobject object, jmethodID id, va_list arguments)
{
    const Member& member = member_for_call(id, "CallObjectMethod");
    return call_object("CallObjectMethod", MemberKind::Method, object, member,
                       read_arguments(member.signature, arguments));
}

jobject JNICALL call_object_a(JNIEnv*, jobject object, jmethodID id, const jvalue* arguments)
{
    const Member& member = member_for_call(id, "CallObjectMethod");
    return call_object("CallObjectMethod", MemberKind::Method, object, member,
                       copy_arguments(member.signature, arguments));
}

jobject JNICALL call_object_method(JNIEnv* env, jobject object, jmethodID id, ...)
{
    va_list arguments;
    va_start(arguments, id);
    jobject result = call_object_v(env, object, id, arguments);
    va_end(arguments);
    return result;
}

} // namespace

void install_call_functions(JNINativeInterface_& table)
{
    table.NewObject = new_object;
    table.NewObjectV = new_object_v;
    table.NewObjectA = new_object_a;
    table.CallStaticIntMethod = call_static_int;
    table.CallStaticIntMethodV = call_static_int_v;
    table.CallStaticIntMethodA = call_static_int_a;
    table.CallIntMethod = call_int_method;
    table.CallIntMethodV = call_int_v;
    table.CallIntMethodA = call_int_a;
    table.CallStaticVoidMethod = call_static_void_method;
    table.CallStaticVoidMethodV = call_static_void_v;
    table.CallStaticVoidMethodA = call_static_void_a;
    table.CallStaticObjectMethod = call_static_object;
    table.CallStaticObjectMethodV = call_static_object_v;
    table.CallStaticObjectMethodA = call_static_object_a;
    table.CallObjectMethod = call_object_method;
    table.CallObjectMethodV = call_object_v;
    table.CallObjectMethodA = call_object_a;
}

} // namespace standin
