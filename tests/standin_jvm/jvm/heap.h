// The objects of the stand-in runtime. Every handle the host gets is an
// Object* that stays valid until the process ends.
#pragma once

#include <jni.h>

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace standin {

enum class ObjectKind { Class, Instance, String, ObjectArray, ByteArray };

struct Object {
    ObjectKind kind = ObjectKind::Instance;
    // Class: the class it stands for. Anything else: the object's class.
    std::u16string class_name;
    std::u16string text;
    std::optional<std::u16string> message; // of a throwable
    std::u16string thrown_from;            // "sample/app/Main.run", or empty
    std::vector<Object*> elements;
    std::vector<jbyte> bytes;
};

class Heap {
public:
    Object* new_string(std::u16string text);
    Object* new_instance(std::u16string class_name);
    Object* new_throwable(std::u16string class_name, std::optional<std::u16string> message,
                          std::u16string thrown_from);
    Object* new_object_array(const std::u16string& element_class, std::size_t length, Object* initial);
    Object* new_byte_array(std::vector<jbyte> bytes);
    // One class object per name, so equal classes compare equal.
    Object* class_object(const std::u16string& name);

    // Null stays null; anything not made here is a host bug and fatal.
    Object* resolve(const void* handle, const char* function) const;

private:
    Object* add(Object object);

    std::deque<Object> objects_;
    std::unordered_set<const Object*> known_;
    std::map<std::u16string, Object*> classes_;
};

// A value as the trace shows it: null, "text", [elements], byte[N],
// class NAME, object NAME.
std::string describe_value(const Object* object);

template <typename Handle>
Handle to_handle(Object* object)
{
    return reinterpret_cast<Handle>(object);
}

} // namespace standin
