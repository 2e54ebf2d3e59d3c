#include "heap.h"

#include "java_text.h"
#include "trace.h"

namespace standin {

Object* Heap::add(Object object)
{
    objects_.push_back(std::move(object));
    Object* stored = &objects_.back();
    known_.insert(stored);
    return stored;
}

Object* Heap::new_string(std::u16string text)
{
    Object object;
    object.kind = ObjectKind::String;
    object.class_name = u"java/lang/String";
    object.text = std::move(text);
    return add(std::move(object));
}

Object* Heap::new_instance(std::u16string class_name)
{
    Object object;
    object.kind = ObjectKind::Instance;
    object.class_name = std::move(class_name);
    return add(std::move(object));
}

Object* Heap::new_throwable(std::u16string class_name, std::optional<std::u16string> message,
                            std::u16string thrown_from)
{
    Object object;
    object.kind = ObjectKind::Instance;
    object.class_name = std::move(class_name);
    object.message = std::move(message);
    object.thrown_from = std::move(thrown_from);
    return add(std::move(object));
}

Object* Heap::new_object_array(const std::u16string& element_class, std::size_t length, Object* initial)
{
    Object object;
    object.kind = ObjectKind::ObjectArray;
    object.class_name = element_class.rfind(u'[', 0) == 0 ? u"[" + element_class : u"[L" + element_class + u";";
    object.elements.assign(length, initial);
    return add(std::move(object));
}

Object* Heap::new_byte_array(std::vector<jbyte> bytes)
{
    Object object;
    object.kind = ObjectKind::ByteArray;
    object.class_name = u"[B";
    object.bytes = std::move(bytes);
    return add(std::move(object));
}

Object* Heap::class_object(const std::u16string& name)
{
    auto found = classes_.find(name);
    if (found != classes_.end())
        return found->second;
    Object object;
    object.kind = ObjectKind::Class;
    object.class_name = name;
    Object* stored = add(std::move(object));
    classes_.emplace(name, stored);
    return stored;
}

Object* Heap::resolve(const void* handle, const char* function) const
{
    if (handle == nullptr)
        return nullptr;
    auto* object = static_cast<Object*>(const_cast<void*>(handle));
    if (known_.count(object) == 0)
        fatal(std::string(function) + " got a reference the stand-in never handed out");
    return object;
}

std::string describe_value(const Object* object)
{
    if (object == nullptr)
        return "null";
    switch (object->kind) {
    case ObjectKind::String:
        return java_literal(object->text);
    case ObjectKind::ObjectArray: {
        std::string out = "[";
        for (std::size_t i = 0; i < object->elements.size(); ++i) {
            if (i > 0)
                out += ", ";
            out += describe_value(object->elements[i]);
        }
        return out + "]";
    }
    case ObjectKind::ByteArray:
        return "byte[" + std::to_string(object->bytes.size()) + "]";
    case ObjectKind::Class:
        return "class " + ascii_name(object->class_name);
    case ObjectKind::Instance:
        break;
    }
    return "object " + ascii_name(object->class_name);
}

} // namespace standin
