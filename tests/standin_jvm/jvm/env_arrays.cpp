// Object arrays and byte arrays.
#include "env_support.h"
#include "java_text.h"
#include "jni_tables.h"
#include "trace.h"

#include <cstring>

namespace standin {
namespace {

constexpr std::u16string_view kIndexError = u"java/lang/ArrayIndexOutOfBoundsException";
constexpr std::u16string_view kSizeError = u"java/lang/NegativeArraySizeException";

std::u16string bounds_message(jsize index, std::size_t length)
{
    return ascii_to_text("Index " + std::to_string(index) + " out of bounds for length " + std::to_string(length));
}

bool in_range(jsize start, jsize count, std::size_t length)
{
    return start >= 0 && count >= 0 && static_cast<std::size_t>(start) + static_cast<std::size_t>(count) <= length;
}

jsize JNICALL get_array_length(JNIEnv*, jarray array)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    const Object* target = runtime.heap().resolve(array, "GetArrayLength");
    if (target == nullptr)
        fatal("GetArrayLength got null");
    std::size_t length = 0;
    if (target->kind == ObjectKind::ObjectArray)
        length = target->elements.size();
    else if (target->kind == ObjectKind::ByteArray)
        length = target->bytes.size();
    else
        fatal("GetArrayLength got " + describe_value(target) + ", not an array");
    trace("GetArrayLength -> " + std::to_string(length));
    return static_cast<jsize>(length);
}

jobjectArray JNICALL new_object_array(JNIEnv*, jsize length, jclass element_class, jobject initial)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    const Object* element = expect_object(element_class, ObjectKind::Class, "NewObjectArray");
    Object* initial_element = runtime.heap().resolve(initial, "NewObjectArray");
    const std::string line = "NewObjectArray " + std::to_string(length) + " " + ascii_name(element->class_name) + " "
        + describe_value(initial_element);
    if (length < 0) {
        trace(line + raise(std::u16string(kSizeError), ascii_to_text(std::to_string(length))));
        return nullptr;
    }
    if (!runtime.allocate()) {
        trace(line + out_of_memory());
        return nullptr;
    }
    trace(line);
    return to_handle<jobjectArray>(
        runtime.heap().new_object_array(element->class_name, static_cast<std::size_t>(length), initial_element));
}

void JNICALL set_object_array_element(JNIEnv*, jobjectArray array, jsize index, jobject value)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    Object* target = expect_object(array, ObjectKind::ObjectArray, "SetObjectArrayElement");
    Object* element = runtime.heap().resolve(value, "SetObjectArrayElement");
    const std::string line = "SetObjectArrayElement " + std::to_string(index) + " " + describe_value(element);
    if (!in_range(index, 1, target->elements.size())) {
        raise(std::u16string(kIndexError), bounds_message(index, target->elements.size()));
        trace(line + throws_note(std::u16string(kIndexError)));
        return;
    }
    target->elements[static_cast<std::size_t>(index)] = element;
    trace(line);
}

jobject JNICALL get_object_array_element(JNIEnv*, jobjectArray array, jsize index)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    const Object* target = expect_object(array, ObjectKind::ObjectArray, "GetObjectArrayElement");
    const std::string line = "GetObjectArrayElement " + std::to_string(index);
    if (!in_range(index, 1, target->elements.size())) {
        trace(line + raise(std::u16string(kIndexError), bounds_message(index, target->elements.size())));
        return nullptr;
    }
    Object* element = target->elements[static_cast<std::size_t>(index)];
    trace(line + " -> " + describe_value(element));
    return to_handle<jobject>(element);
}

jbyteArray JNICALL new_byte_array(JNIEnv*, jsize length)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    const std::string line = "NewByteArray " + std::to_string(length);
    if (length < 0) {
        trace(line + raise(std::u16string(kSizeError), ascii_to_text(std::to_string(length))));
        return nullptr;
    }
    trace(line);
    return to_handle<jbyteArray>(runtime.heap().new_byte_array(std::vector<jbyte>(static_cast<std::size_t>(length))));
}

void JNICALL set_byte_array_region(JNIEnv*, jbyteArray array, jsize start, jsize count, const jbyte* source)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    Object* target = expect_object(array, ObjectKind::ByteArray, "SetByteArrayRegion");
    const std::string line = "SetByteArrayRegion " + describe_value(target) + " " + std::to_string(start) + " "
        + std::to_string(count);
    if (!in_range(start, count, target->bytes.size())) {
        const std::string region = std::to_string(start) + ".." + std::to_string(static_cast<long long>(start) + count);
        raise(std::u16string(kIndexError),
              ascii_to_text("Array region " + region + " out of bounds for length "
                            + std::to_string(target->bytes.size())));
        trace(line + throws_note(std::u16string(kIndexError)));
        return;
    }
    if (count > 0) {
        if (source == nullptr)
            fatal("SetByteArrayRegion got no bytes");
        std::memcpy(target->bytes.data() + start, source, static_cast<std::size_t>(count));
    }
    trace(line);
}

jbyte* JNICALL get_byte_array_elements(JNIEnv*, jbyteArray array, jboolean* is_copy)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    const Object* target = expect_object(array, ObjectKind::ByteArray, "GetByteArrayElements");
    trace("GetByteArrayElements " + describe_value(target));
    if (is_copy != nullptr)
        *is_copy = JNI_TRUE;
    return static_cast<jbyte*>(runtime.buffers().keep(target->bytes.data(), target->bytes.size()));
}

void JNICALL release_byte_array_elements(JNIEnv*, jbyteArray array, jbyte* elements, jint mode)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    Object* target = expect_object(array, ObjectKind::ByteArray, "ReleaseByteArrayElements");
    trace("ReleaseByteArrayElements " + describe_value(target) + " " + std::to_string(mode));
    if (!runtime.buffers().contains(elements))
        fatal("ReleaseByteArrayElements got elements that are not out");
    if (mode != 0 && mode != JNI_COMMIT && mode != JNI_ABORT)
        fatal("ReleaseByteArrayElements got mode " + std::to_string(mode));
    if (mode != JNI_ABORT && !target->bytes.empty())
        std::memcpy(target->bytes.data(), elements, target->bytes.size());
    if (mode != JNI_COMMIT)
        runtime.buffers().release(elements);
}

} // namespace

void install_array_functions(JNINativeInterface_& table)
{
    table.GetArrayLength = get_array_length;
    table.NewObjectArray = new_object_array;
    table.SetObjectArrayElement = set_object_array_element;
    table.GetObjectArrayElement = get_object_array_element;
    table.NewByteArray = new_byte_array;
    table.SetByteArrayRegion = set_byte_array_region;
    table.GetByteArrayElements = get_byte_array_elements;
    table.ReleaseByteArrayElements = release_byte_array_elements;
}

} // namespace standin
