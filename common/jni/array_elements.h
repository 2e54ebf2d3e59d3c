// The elements of a Java byte array, handed back to the virtual machine on
// every path (without copying anything back: they are only read).
#pragma once

#include <jni.h>

class ByteArrayElements {
public:
    // A null array, or elements the virtual machine cannot give, read as empty.
    ByteArrayElements(JNIEnv* env, jbyteArray array)
        : env_(env), array_(array), elements_(array != nullptr ? env->GetByteArrayElements(array, nullptr) : nullptr),
          size_(elements_ != nullptr ? env->GetArrayLength(array) : 0)
    {
    }
    ~ByteArrayElements()
    {
        if (elements_ != nullptr)
            env_->ReleaseByteArrayElements(array_, elements_, JNI_ABORT);
    }
    ByteArrayElements(const ByteArrayElements&) = delete;
    ByteArrayElements& operator=(const ByteArrayElements&) = delete;

    const unsigned char* begin() const { return reinterpret_cast<const unsigned char*>(elements_); }
    const unsigned char* end() const { return begin() + size_; }
    jsize size() const { return size_; }

private:
    JNIEnv* env_;
    jbyteArray array_;
    jbyte* elements_;
    jsize size_;
};
