// Helpers shared by the JNIEnv functions.
#pragma once

#include "heap.h"
#include "runtime.h"

#include <optional>
#include <string>

namespace standin {

// A non-null object of the given kind; anything else is a host bug and fatal.
Object* expect_object(const void* handle, ObjectKind kind, const char* function);

// A JNI char* argument (modified UTF-8); null is fatal.
std::u16string jni_text(const char* text, const char* function);

// Makes a throwable of `class_name` pending on this thread and returns the
// trace annotation for a failed call: " -> NULL (java/lang/...)".
std::string raise(const std::u16string& class_name, std::optional<std::u16string> message);

// The OutOfMemoryError of a used-up heap (description `heap N`), pending,
// and its trace annotation.
std::string out_of_memory();

// " (throws java/lang/...)" for calls that return nothing.
std::string throws_note(const std::u16string& class_name);

std::string hex(jint value);

} // namespace standin
