// The modified UTF-8 characters of a Java string, released on every path.
#pragma once

#include <jni.h>

#include <string>

class JavaChars {
public:
    JavaChars(JNIEnv* env, jstring text)
        : env_(env), text_(text), chars_(text != nullptr ? env->GetStringUTFChars(text, nullptr) : nullptr)
    {
    }
    ~JavaChars()
    {
        if (chars_ != nullptr)
            env_->ReleaseStringUTFChars(text_, chars_);
    }
    JavaChars(const JavaChars&) = delete;
    JavaChars& operator=(const JavaChars&) = delete;

    // Up to the first zero byte (modified UTF-8 has none of its own); a null
    // string, or one the virtual machine could not give, is an empty text.
    std::string bytes() const { return chars_ != nullptr ? std::string(chars_) : std::string(); }

private:
    JNIEnv* env_;
    jstring text_;
    const char* chars_;
};
