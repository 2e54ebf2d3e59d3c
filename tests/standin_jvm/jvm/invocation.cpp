#include "invocation.h"

#include "platform.h"
#include "runtime.h"

#include <cstdio>
#include <system_error>

namespace standin {

const Member& member_for_call(jmethodID id, const char* function)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    return *runtime.member(id, function);
}

std::vector<jvalue> read_arguments(const MethodSignature& signature, va_list arguments)
{
    std::vector<jvalue> values;
    for (char type : signature.parameters) {
        jvalue value{};
        switch (type) {
        case 'J': value.j = va_arg(arguments, jlong); break;
        case 'F':
        case 'D': value.d = va_arg(arguments, jdouble); break;
        case 'L': value.l = va_arg(arguments, jobject); break;
        default: value.i = va_arg(arguments, jint); break; // promoted Z B C S I
        }
        values.push_back(value);
    }
    return values;
}

std::vector<jvalue> copy_arguments(const MethodSignature& signature, const jvalue* arguments)
{
    std::vector<jvalue> values;
    for (std::size_t i = 0; i < signature.parameters.size(); ++i) {
        const jvalue& given = arguments[i];
        jvalue value{};
        switch (signature.parameters[i]) {
        case 'Z': value.i = given.z; break;
        case 'B': value.i = given.b; break;
        case 'C': value.i = given.c; break;
        case 'S': value.i = given.s; break;
        case 'I': value.i = given.i; break;
        case 'J': value.j = given.j; break;
        case 'F': value.d = given.f; break;
        case 'D': value.d = given.d; break;
        default: value.l = given.l; break;
        }
        values.push_back(value);
    }
    return values;
}

std::string describe_arguments(const MethodSignature& signature, const std::vector<jvalue>& arguments,
                               const char* function)
{
    std::string text;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        text += ' ';
        switch (signature.parameters[i]) {
        case 'L': text += describe_value(Runtime::instance().heap().resolve(arguments[i].l, function)); break;
        case 'J': text += std::to_string(arguments[i].j); break;
        case 'F':
        case 'D': {
            char number[32];
            std::snprintf(number, sizeof number, "%g", arguments[i].d);
            text += number;
            break;
        }
        default: text += std::to_string(arguments[i].i); break;
        }
    }
    return text;
}

jint choose_result(const Member& member)
{
    for (const ResultRule& rule : member.conditional_results) {
        std::error_code ignored;
        if (std::filesystem::exists(rule.when_exists, ignored))
            return rule.value;
    }
    return member.result;
}

void apply_file_effects(const Member& member)
{
    for (const auto& path : member.deletes) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
    for (const auto& path : member.creates) {
        if (std::FILE* file = platform::open_file(path, "wb"))
            std::fclose(file);
    }
}

Object* make_thrown(const Member& member)
{
    return Runtime::instance().heap().new_throwable(member.thrown->class_name, member.thrown->message,
                                                    member.class_name + u"." + member.name);
}

} // namespace standin
