// Strings: stored as UTF-16, handed out as copies that live until released.
#include "env_support.h"
#include "java_text.h"
#include "jni_tables.h"
#include "trace.h"

namespace standin {
namespace {

jstring JNICALL new_string_utf(JNIEnv*, const char* utf)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    if (utf == nullptr) {
        trace("NewStringUTF null -> NULL");
        return nullptr;
    }
    std::u16string text = decode_utf8(utf);
    const std::string line = "NewStringUTF " + java_literal(text);
    if (!runtime.allocate()) {
        trace(line + out_of_memory());
        return nullptr;
    }
    trace(line);
    return to_handle<jstring>(runtime.heap().new_string(std::move(text)));
}

jstring JNICALL new_string(JNIEnv*, const jchar* unicode, jsize length)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    if (length < 0 || (length > 0 && unicode == nullptr))
        fatal("NewString got no characters");
    std::u16string text(static_cast<std::size_t>(length), u'\0');
    for (jsize i = 0; i < length; ++i)
        text[static_cast<std::size_t>(i)] = static_cast<char16_t>(unicode[i]);
    const std::string line = "NewString " + java_literal(text);
    if (!runtime.allocate()) {
        trace(line + out_of_memory());
        return nullptr;
    }
    trace(line);
    return to_handle<jstring>(runtime.heap().new_string(std::move(text)));
}

jsize JNICALL get_string_length(JNIEnv*, jstring string)
{
    auto guard = Runtime::instance().lock();
    const Object* target = expect_object(string, ObjectKind::String, "GetStringLength");
    const auto length = static_cast<jsize>(target->text.size());
    trace("GetStringLength " + java_literal(target->text) + " -> " + std::to_string(length));
    return length;
}

jsize JNICALL get_string_utf_length(JNIEnv*, jstring string)
{
    auto guard = Runtime::instance().lock();
    const Object* target = expect_object(string, ObjectKind::String, "GetStringUTFLength");
    const auto length = static_cast<jsize>(encode_modified_utf8(target->text).size());
    trace("GetStringUTFLength " + java_literal(target->text) + " -> " + std::to_string(length));
    return length;
}

const char* JNICALL get_string_utf_chars(JNIEnv*, jstring string, jboolean* is_copy)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    const Object* target = expect_object(string, ObjectKind::String, "GetStringUTFChars");
    const std::string utf = encode_modified_utf8(target->text);
    trace("GetStringUTFChars " + java_literal(target->text));
    if (is_copy != nullptr)
        *is_copy = JNI_TRUE;
    return static_cast<const char*>(runtime.buffers().keep(utf.c_str(), utf.size() + 1));
}

void JNICALL release_string_utf_chars(JNIEnv*, jstring string, const char* chars)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    const Object* target = expect_object(string, ObjectKind::String, "ReleaseStringUTFChars");
    trace("ReleaseStringUTFChars " + java_literal(target->text));
    if (!runtime.buffers().release(chars))
        fatal("ReleaseStringUTFChars got characters that are not out");
}

const jchar* JNICALL get_string_chars(JNIEnv*, jstring string, jboolean* is_copy)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    const Object* target = expect_object(string, ObjectKind::String, "GetStringChars");
    trace("GetStringChars " + java_literal(target->text));
    if (is_copy != nullptr)
        *is_copy = JNI_TRUE;
    // JNI does not promise a terminator; one more unit costs nothing.
    const std::u16string terminated = target->text + u'\0';
    return static_cast<const jchar*>(
        runtime.buffers().keep(terminated.data(), terminated.size() * sizeof(char16_t)));
}

void JNICALL release_string_chars(JNIEnv*, jstring string, const jchar* chars)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    const Object* target = expect_object(string, ObjectKind::String, "ReleaseStringChars");
    trace("ReleaseStringChars " + java_literal(target->text));
    if (!runtime.buffers().release(chars))
        fatal("ReleaseStringChars got characters that are not out");
}

} // namespace

void install_string_functions(JNINativeInterface_& table)
{
    table.NewStringUTF = new_string_utf;
    table.NewString = new_string;
    table.GetStringLength = get_string_length;
    table.GetStringUTFLength = get_string_utf_length;
    table.GetStringUTFChars = get_string_utf_chars;
    table.ReleaseStringUTFChars = release_string_utf_chars;
    table.GetStringChars = get_string_chars;
    table.ReleaseStringChars = release_string_chars;
}

} // namespace standin
