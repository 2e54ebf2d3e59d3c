#include "script.h"

#include "java_text.h"
#include "platform.h"
#include "runtime.h"
#include "trace.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace standin {
namespace {

using NoArguments = void(JNICALL*)(JNIEnv*, jclass);
using ByteArray = void(JNICALL*)(JNIEnv*, jclass, jbyteArray);
using Field = void(JNICALL*)(JNIEnv*, jclass, jint, jint, jstring);
using Progress = void(JNICALL*)(JNIEnv*, jclass, jint, jint, jint, jint, jint, jint, jint, jstring);

void* resolve_native(Runtime& runtime, const std::u16string& name)
{
    auto& registered = runtime.natives();
    auto by_class = registered.find(std::u16string(kSplashClass));
    if (by_class != registered.end()) {
        auto found = by_class->second.find(name);
        if (found != by_class->second.end())
            return found->second;
    }
    return platform::find_program_export(jni_export_name(kSplashClass, name).c_str());
}

std::vector<jbyte> read_file(const std::filesystem::path& path)
{
    std::FILE* file = platform::open_file(path, "rb");
    if (file == nullptr)
        fatal("script cannot read " + path.u8string());
    std::vector<jbyte> bytes;
    jbyte buffer[4096];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + count);
    std::fclose(file);
    return bytes;
}

void call_native(const NativeCall& call)
{
    Runtime& runtime = Runtime::instance();
    auto guard = runtime.lock();
    void* native = resolve_native(runtime, call.name);
    if (native == nullptr) {
        trace("call " + ascii_name(call.name) + " unresolved");
        return;
    }

    Heap& heap = runtime.heap();
    auto clazz = to_handle<jclass>(heap.class_object(std::u16string(kSplashClass)));
    std::string line = "call " + ascii_name(call.name);
    for (jint value : call.ints)
        line += " " + std::to_string(value);
    jstring text = nullptr;
    jbyteArray bytes = nullptr;
    if (call.shape == NativeShape::Field || call.shape == NativeShape::Progress) {
        text = to_handle<jstring>(heap.new_string(call.text));
        line += " " + java_literal(call.text);
    } else if (call.shape == NativeShape::ByteArray) {
        Object* array = heap.new_byte_array(call.file ? read_file(*call.file) : std::vector<jbyte>{});
        bytes = to_handle<jbyteArray>(array);
        line += " " + describe_value(array);
    }
    trace(line);
    JNIEnv* env = runtime.env();
    guard.unlock();

    const std::vector<jint>& n = call.ints;
    switch (call.shape) {
    case NativeShape::NoArguments:
        reinterpret_cast<NoArguments>(native)(env, clazz);
        break;
    case NativeShape::ByteArray:
        reinterpret_cast<ByteArray>(native)(env, clazz, bytes);
        break;
    case NativeShape::Field:
        reinterpret_cast<Field>(native)(env, clazz, n[0], n[1], text);
        break;
    case NativeShape::Progress:
        reinterpret_cast<Progress>(native)(env, clazz, n[0], n[1], n[2], n[3], n[4], n[5], n[6], text);
        break;
    }
}

} // namespace

void run_script(const Member& member)
{
    Runtime& runtime = Runtime::instance();
    for (const ScriptStep& step : member.script) {
        switch (step.kind) {
        case ScriptStep::Kind::Call:
            call_native(step.call);
            break;
        case ScriptStep::Kind::Sleep: {
            {
                auto guard = runtime.lock();
                trace("sleep " + std::to_string(step.milliseconds));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(step.milliseconds));
            break;
        }
        case ScriptStep::Kind::Print: {
            auto guard = runtime.lock();
            trace("print " + java_literal(step.text));
            const std::string line = encode_utf8(step.text) + "\n";
            std::fwrite(line.data(), 1, line.size(), stdout);
            std::fflush(stdout);
            break;
        }
        }
    }
}

} // namespace standin
