// Ownership of JNI local references, in the manner of the JDK's own
// jni::LocalRef. A thread in native code holds only a small number of local
// references (16 guaranteed); one made per argument and never deleted runs
// past that, so every one the programs make is owned and deleted.
#pragma once

#include <jni.h>

#include <memory>
#include <type_traits>

struct LocalRefDeleter {
    JNIEnv* env;
    // DeleteLocalRef may be called with a Java exception pending.
    void operator()(jobject reference) const { env->DeleteLocalRef(reference); }
};

template <class Reference>
using LocalRef = std::unique_ptr<std::remove_pointer_t<Reference>, LocalRefDeleter>;

// Takes over a reference that a JNI call returned (null is kept as empty).
template <class Reference>
LocalRef<Reference> localRef(JNIEnv* env, Reference reference)
{
    return LocalRef<Reference>(reference, LocalRefDeleter{env});
}
