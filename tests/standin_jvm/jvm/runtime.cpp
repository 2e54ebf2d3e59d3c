#include "runtime.h"

#include "jni_tables.h"
#include "trace.h"

#include <algorithm>
#include <cstring>

namespace standin {

void* Buffers::keep(const void* data, std::size_t size)
{
    std::unique_ptr<unsigned char[]> copy(new unsigned char[std::max<std::size_t>(size, 1)]);
    if (size > 0)
        std::memcpy(copy.get(), data, size);
    void* pointer = copy.get();
    owned_.emplace(pointer, std::move(copy));
    return pointer;
}

bool Buffers::release(const void* pointer)
{
    return owned_.erase(pointer) > 0;
}

bool is_supported_jni_version(jint version, bool including_1_1)
{
    switch (version) {
    case JNI_VERSION_1_1:
        return including_1_1;
    case JNI_VERSION_1_2:
    case JNI_VERSION_1_4:
    case JNI_VERSION_1_6:
    case JNI_VERSION_1_8:
    case JNI_VERSION_9:
    case JNI_VERSION_10:
        return true;
    default:
        return false;
    }
}

Runtime& Runtime::instance()
{
    // Never destroyed: natives may still call in while the process exits.
    static Runtime* runtime = new Runtime();
    return *runtime;
}

Runtime::Runtime() : env_{env_function_table()}, vm_{invoke_function_table()}
{
    descriptions_.emplace_back();
}

std::unique_lock<std::recursive_mutex> Runtime::lock()
{
    return std::unique_lock<std::recursive_mutex>(mutex_);
}

void Runtime::replace_description(Description description)
{
    descriptions_.push_back(std::move(description));
}

const Description& Runtime::description() const
{
    return descriptions_.back();
}

jmethodID Runtime::method_id(const Member& member)
{
    method_ids_.insert(&member);
    return reinterpret_cast<jmethodID>(const_cast<Member*>(&member));
}

const Member* Runtime::member(jmethodID id, const char* function) const
{
    const auto* member = reinterpret_cast<const Member*>(id);
    if (id == nullptr || method_ids_.count(member) == 0)
        fatal(std::string(function) + " got a method ID the stand-in never handed out");
    return member;
}

bool Runtime::allocate()
{
    const std::optional<jint>& limit = description().heap;
    if (limit && allocations_ >= *limit)
        return false;
    ++allocations_;
    return true;
}

Object* Runtime::pending_exception() const
{
    auto found = pending_.find(std::this_thread::get_id());
    return found == pending_.end() ? nullptr : found->second;
}

void Runtime::set_pending_exception(Object* throwable)
{
    if (throwable == nullptr)
        pending_.erase(std::this_thread::get_id());
    else
        pending_[std::this_thread::get_id()] = throwable;
}

} // namespace standin

namespace standin {

void Runtime::set_attached(bool attached)
{
    if (attached)
        attached_.insert(std::this_thread::get_id());
    else
        attached_.erase(std::this_thread::get_id());
}

bool Runtime::attached() const
{
    return attached_.count(std::this_thread::get_id()) > 0;
}

} // namespace standin
