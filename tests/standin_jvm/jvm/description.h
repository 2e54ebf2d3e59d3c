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

// A Field is a static field whose value is an object of its type.
enum class MemberKind { Constructor, Static, Method, Native, Field };

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
    std::optional<jint> exits; // System.exit with this code after the script
    std::vector<ScriptStep> script;
};

struct ClassDescription {
    std::u16string name;
    std::vector<Member> members;

    // Natives are matched by kind too, so a method ID can never name one.
    const Member* find(MemberKind kind, std::u16string_view name, std::u16string_view descriptor) const;
};

// How JNI_CreateJavaVM ends: returns JNI_OK or JNI_ERR, or ends the process
// as a real runtime does when it rejects an option.
enum class CreateEnding { Succeeds, Fails, Exits, Aborts };

struct Description {
    CreateEnding create_ending = CreateEnding::Succeeds;
    std::optional<long long> last_error;
    jint create_exit_code = 0;
    std::vector<std::u16string> create_prints; // the runtime's own output while it starts
    std::optional<jint> heap;                  // objects the host may make before OutOfMemoryError
    std::optional<jint> destroy_exit_code;     // DestroyJavaVM ends the process through the exit hook
    std::vector<ClassDescription> classes;

    const ClassDescription* find_class(std::u16string_view name) const;
};

// A missing file is an empty description. Throws std::runtime_error with
// "standin.txt:LINE: ..." on a malformed one.
Description load_description(const std::filesystem::path& file);

} // namespace standin
