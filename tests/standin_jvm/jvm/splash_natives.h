// The natives of io/tarnwick/tools/SplashScreen that a script can call, and
// the C shape each one is called with.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace standin {

inline constexpr std::u16string_view kSplashClass = u"io/tarnwick/tools/SplashScreen";

enum class NativeShape {
    NoArguments, // (JNIEnv*, jclass)
    ByteArray,   // (JNIEnv*, jclass, jbyteArray)
    Field,       // (JNIEnv*, jclass, jint, jint, jstring)
    Progress,    // (JNIEnv*, jclass, jint x 7, jstring)
};

std::optional<NativeShape> splash_native_shape(std::u16string_view name);

// How many jint arguments precede the string of a shape.
int int_argument_count(NativeShape shape);

// Java_<class>_<name> with the JNI escapes (_1, _2, _3, _0xxxx).
std::string jni_export_name(std::u16string_view class_name, std::u16string_view method_name);

} // namespace standin
