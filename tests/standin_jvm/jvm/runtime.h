// The process-wide state of the stand-in runtime, behind one lock.
#pragma once

#include "description.h"
#include "heap.h"
#include "hooks.h"

#include <jni.h>

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>

namespace standin {

// Copies handed out by Get*Chars / Get*Elements, owned until released.
class Buffers {
public:
    void* keep(const void* data, std::size_t size);
    bool contains(const void* pointer) const { return owned_.count(pointer) > 0; }
    // False if the pointer was never handed out or is already released.
    bool release(const void* pointer);

private:
    std::unordered_map<const void*, std::unique_ptr<unsigned char[]>> owned_;
};

// The versions JNI_CreateJavaVM (and, with 1.1, GetEnv) accepts: up to 10.
bool is_supported_jni_version(jint version, bool including_1_1);

class Runtime {
public:
    static Runtime& instance();

    // Recursive so that fatal() can trace from inside a locked section.
    // Never held while a native runs or a script sleeps.
    std::unique_lock<std::recursive_mutex> lock();

    // Earlier descriptions stay alive: method IDs point into them.
    void replace_description(Description description);
    const Description& description() const;

    jmethodID method_id(const Member& member);
    const Member* member(jmethodID id, const char* function) const;

    // Per thread, as in a real VM.
    Object* pending_exception() const;
    void set_pending_exception(Object* throwable);

    // Natives bound through RegisterNatives, by class and method name.
    std::map<std::u16string, std::map<std::u16string, void*>>& natives() { return natives_; }

    // Threads that created the VM or attached to it; GetEnv answers by it.
    void set_attached(bool attached);
    bool attached() const;

    // The hooks of the latest JNI_CreateJavaVM.
    void set_hooks(const Hooks& hooks) { hooks_ = hooks; }
    const Hooks& hooks() const { return hooks_; }

    // Counts a string or array that the host asks for; false once the
    // description's heap is used up (OutOfMemoryError).
    bool allocate();
    void reset_allocations() { allocations_ = 0; }

    Heap& heap() { return heap_; }
    Buffers& buffers() { return buffers_; }
    JNIEnv* env() { return &env_; }
    JavaVM* vm() { return &vm_; }

private:
    Runtime();

    std::recursive_mutex mutex_;
    std::deque<Description> descriptions_;
    std::unordered_set<const Member*> method_ids_;
    std::map<std::thread::id, Object*> pending_;
    std::set<std::thread::id> attached_;
    std::map<std::u16string, std::map<std::u16string, void*>> natives_;
    Heap heap_;
    Hooks hooks_;
    long long allocations_ = 0;
    Buffers buffers_;
    JNIEnv env_;
    JavaVM vm_;
};

} // namespace standin
