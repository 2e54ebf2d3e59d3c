// Has the JVM write the recorded archive (the diagnostic command's dynamic
// dump), then puts it and its key in place by rename.
#include "archive_dump.h"

#include "archive_key.h"
#include "archive_log.h"
#include "exit_codes.h"
#include "java_chars.h"
#include "java_string.h"
#include "jvm_hooks.h"
#include "local_ref.h"
#include "new_file.h"
#include "process.h"

#include <boost/filesystem.hpp>

#include <chrono>
#include <functional>

namespace fs = boost::filesystem;

namespace {

// The pending exception's own words, then cleared.
std::string pendingException(JNIEnv* env)
{
    LocalRef<jthrowable> thrown = localRef(env, env->ExceptionOccurred());
    env->ExceptionClear();
    if (!thrown)
        return "the runtime refused";
    LocalRef<jclass> type = localRef(env, env->GetObjectClass(thrown.get()));
    jmethodID toString = env->GetMethodID(type.get(), "toString", "()Ljava/lang/String;");
    LocalRef<jstring> text =
        localRef(env, toString ? static_cast<jstring>(env->CallObjectMethod(thrown.get(), toString)) : nullptr);
    env->ExceptionClear();
    if (!text)
        return "the runtime refused";
    // An empty reason would read as success.
    const std::string words = JavaChars(env, text.get()).bytes();
    return words.empty() ? "the runtime refused" : words;
}

// The diagnostic command reports through System.out, which is the
// application's: while it runs, a stream that drops everything takes its
// place (System.setOut with new PrintStream(OutputStream.nullOutputStream())),
// and the application's own stream is put back after.
class SilencedSystemOut {
public:
    explicit SilencedSystemOut(JNIEnv* env) : env_(env)
    {
        system_ = localRef(env, env->FindClass("java/lang/System"));
        jfieldID out = system_ ? env->GetStaticFieldID(system_.get(), "out", "Ljava/io/PrintStream;") : nullptr;
        setOut_ = system_ ? env->GetStaticMethodID(system_.get(), "setOut", "(Ljava/io/PrintStream;)V") : nullptr;
        LocalRef<jclass> sinkClass = localRef(env, env->FindClass("java/io/OutputStream"));
        jmethodID sinkOf =
            sinkClass ? env->GetStaticMethodID(sinkClass.get(), "nullOutputStream", "()Ljava/io/OutputStream;")
                      : nullptr;
        LocalRef<jclass> printClass = localRef(env, env->FindClass("java/io/PrintStream"));
        jmethodID printInit =
            printClass ? env->GetMethodID(printClass.get(), "<init>", "(Ljava/io/OutputStream;)V") : nullptr;
        if (out == nullptr || setOut_ == nullptr || sinkOf == nullptr || printInit == nullptr) {
            env->ExceptionClear();
            return;
        }
        saved_ = localRef(env, env->GetStaticObjectField(system_.get(), out));
        LocalRef<jobject> sink = localRef(env, env->CallStaticObjectMethod(sinkClass.get(), sinkOf));
        LocalRef<jobject> silent =
            localRef(env, sink ? env->NewObject(printClass.get(), printInit, sink.get()) : nullptr);
        if (!saved_ || !silent || env->ExceptionCheck()) {
            env->ExceptionClear();
            return;
        }
        env->CallStaticVoidMethod(system_.get(), setOut_, silent.get());
        swapped_ = !env->ExceptionCheck();
        env->ExceptionClear();
    }

    ~SilencedSystemOut()
    {
        if (!swapped_)
            return;
        env_->CallStaticVoidMethod(system_.get(), setOut_, saved_.get());
        env_->ExceptionClear();
    }

    SilencedSystemOut(const SilencedSystemOut&) = delete;
    SilencedSystemOut& operator=(const SilencedSystemOut&) = delete;

private:
    JNIEnv* env_;
    LocalRef<jclass> system_{nullptr, LocalRefDeleter{nullptr}};
    jmethodID setOut_ = nullptr;
    LocalRef<jobject> saved_{nullptr, LocalRefDeleter{nullptr}};
    bool swapped_ = false;
};

// ManagementFactory.getPlatformMBeanServer().invoke(
//     new ObjectName("com.sun.management:type=DiagnosticCommand"), "vmCds",
//     new Object[] {new String[] {"dynamic_dump", file}}, new String[] {"[Ljava.lang.String;"})
// Returns empty on success, else why not.
std::string dumpDynamicArchive(JNIEnv* env, const std::string& file)
{
    LocalRef<jclass> factory = localRef(env, env->FindClass("java/lang/management/ManagementFactory"));
    jmethodID serverOf =
        factory ? env->GetStaticMethodID(factory.get(), "getPlatformMBeanServer", "()Ljavax/management/MBeanServer;")
                : nullptr;
    if (serverOf == nullptr)
        return pendingException(env);
    LocalRef<jobject> server = localRef(env, env->CallStaticObjectMethod(factory.get(), serverOf));
    if (!server || env->ExceptionCheck())
        return pendingException(env);

    LocalRef<jclass> nameClass = localRef(env, env->FindClass("javax/management/ObjectName"));
    jmethodID nameInit = nameClass ? env->GetMethodID(nameClass.get(), "<init>", "(Ljava/lang/String;)V") : nullptr;
    LocalRef<jstring> nameText = localRef(env, env->NewStringUTF("com.sun.management:type=DiagnosticCommand"));
    LocalRef<jobject> name =
        localRef(env, nameInit && nameText ? env->NewObject(nameClass.get(), nameInit, nameText.get()) : nullptr);
    LocalRef<jclass> serverClass = localRef(env, env->FindClass("javax/management/MBeanServer"));
    jmethodID invoke = serverClass ? env->GetMethodID(serverClass.get(), "invoke",
                                                      "(Ljavax/management/ObjectName;Ljava/lang/String;"
                                                      "[Ljava/lang/Object;[Ljava/lang/String;)Ljava/lang/Object;")
                                   : nullptr;
    LocalRef<jclass> stringClass = localRef(env, env->FindClass("java/lang/String"));
    LocalRef<jclass> objectClass = localRef(env, env->FindClass("java/lang/Object"));
    if (!name || invoke == nullptr || !stringClass || !objectClass)
        return pendingException(env);

    LocalRef<jobjectArray> command = localRef(env, env->NewObjectArray(2, stringClass.get(), nullptr));
    LocalRef<jstring> verb = localRef(env, env->NewStringUTF("dynamic_dump"));
    LocalRef<jstring> path = localRef(env, newJavaString(env, file));
    LocalRef<jobjectArray> parameters = localRef(env, env->NewObjectArray(1, objectClass.get(), nullptr));
    LocalRef<jobjectArray> signature = localRef(env, env->NewObjectArray(1, stringClass.get(), nullptr));
    LocalRef<jstring> commandType = localRef(env, env->NewStringUTF("[Ljava.lang.String;"));
    LocalRef<jstring> operation = localRef(env, env->NewStringUTF("vmCds"));
    if (!command || !verb || !path || !parameters || !signature || !commandType || !operation)
        return pendingException(env);
    env->SetObjectArrayElement(command.get(), 0, verb.get());
    env->SetObjectArrayElement(command.get(), 1, path.get());
    env->SetObjectArrayElement(parameters.get(), 0, command.get());
    env->SetObjectArrayElement(signature.get(), 0, commandType.get());

    LocalRef<jobject> result = localRef(
        env, env->CallObjectMethod(server.get(), invoke, name.get(), operation.get(), parameters.get(), signature.get()));
    if (env->ExceptionCheck())
        return pendingException(env);
    return {};
}

} // namespace

void writeClassDataArchive(const ClassDataArchive& plan, JNIEnv* env, int exitCode)
{
    if (plan.step != ClassDataArchive::Step::Record)
        return;
    if (exitCode == kUpdateRequestedExitCode) {
        sayAboutArchive("not written because an update follows");
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    // Files of this start's own: another launcher may be writing at once,
    // and the archive in place stays whole until the rename.
    const std::string suffix = "." + std::to_string(processId()) + ".tmp";
    const std::string temporary = plan.archive + suffix;
    std::string reason;
    // The runtime ends the process itself when it cannot write the archive
    // (a full disk): the line is said and the file removed all the same.
    const std::function<void()> onEnd = [&temporary] {
        sayAboutArchive("not written because the runtime ended while writing it (is the disk full?)");
        boost::system::error_code ignored;
        fs::remove(temporary, ignored);
    };
    try {
        // A completed run ends with 0 (Java's own result is no exit code).
        QuietJavaRuntime quiet(0, onEnd);
        SilencedSystemOut silenced(env);
        reason = dumpDynamicArchive(env, temporary);
    } catch (const std::exception& e) {
        reason = e.what();
    }
    boost::system::error_code ec;
    if (reason.empty()) {
        // Windows replaces no read-only file, and the runtime writes its
        // archives read-only. A link in its place is replaced, never followed.
        if (fs::symlink_status(plan.archive, ec).type() == fs::regular_file)
            fs::permissions(plan.archive, fs::perms::owner_write | fs::perms::add_perms, ec);
        fs::rename(temporary, plan.archive, ec);
        if (ec)
            reason = "it could not replace " + plan.archive + ": " + ec.message();
    }
    if (reason.empty()) {
        const std::string key = archiveKeyText(plan.fingerprint, plan.archive);
        // Made anew, never through whatever stands at its name.
        fs::remove(plan.key + suffix, ec);
        const bool written = !key.empty() && writeNewFile(plan.key + suffix, key);
        fs::rename(plan.key + suffix, plan.key, ec);
        if (!written || ec)
            reason = "its key could not be written: " + plan.key;
    }
    fs::remove(temporary, ec);
    fs::remove(plan.key + suffix, ec);
    if (!reason.empty()) {
        sayAboutArchive("not written because " + reason);
        return;
    }
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    sayAboutArchive("written in " + std::to_string(elapsed) + " ms");
}
