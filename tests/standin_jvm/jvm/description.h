// standin.txt: which classes and members the stand-in runtime has, and what
// calling them does. See README.md for the format.
#pragma once

#include "signature.h"
#include "splash_natives.h"

#include <jni.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace standin {

struct Thrown {
    std::u16string class_name;
    std::optional<std::u16string> message; // none: a null message
};

struct ResultRule {
    std::filesystem::path when_exists;
    jint value = 0;
};

struct NativeCall {
    std::u16string name;
    NativeShape shape = NativeShape::NoArguments;
    std::vector<jint> ints;
    std::u16string text;
    std::optional<std::filesystem::path> file; // none: an empty byte array
};

struct ScriptStep {
    enum class Kind { Call, Sleep, Print };
    Kind kind = Kind::Print;
    NativeCall call;
    jint milliseconds = 0;
    std::u16string text;
};

enum class MemberKind { Constructor, Static, Method, Native };

struct Member {
    MemberKind kind = MemberKind::Method;
    std::u16string class_name;
    std::u16string name;
    std::u16string descriptor;
    MethodSignature signature;
    std::vector<ResultRule> conditional_results;
    jint result = 0;
    std::vector<std::filesystem::path> deletes;
    std::vector<std::filesystem::path> creates;
    std::optional<Thrown> thrown;
    std::vector<ScriptStep> script;
};

struct ClassDescription {
    std::u16string name;
    std::vector<Member> members;

    // Natives are matched by kind too, so a method ID can never name one.
    const Member* find(MemberKind kind, std::u16string_view name, std::u16string_view descriptor) const;
};

struct Description {
    bool create_fails = false;
    std::optional<long long> last_error;
    std::vector<ClassDescription> classes;

    const ClassDescription* find_class(std::u16string_view name) const;
};

// A missing file is an empty description. Throws std::runtime_error with
// "standin.txt:LINE: ..." on a malformed one.
Description load_description(const std::filesystem::path& file);

} // namespace standin
