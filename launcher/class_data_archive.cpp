#include "class_data_archive.h"

#include "elevation.h"
#include "java_string.h"
#include "jvm_hooks.h"
#include "jvm_host.h"
#include "jvm_library.h"
#include "local_ref.h"
#include "new_file.h"
#include "path_conventions.h"
#include "process.h"

#include <boost/filesystem.hpp>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>

namespace fs = boost::filesystem;

namespace {

constexpr int kUpdateRequestedExitCode = 100;
// Dynamic archives from a JNI host, written on request: JDK 17 and later.
constexpr int kFirstCapableRelease = 17;

void say(const std::string& text)
{
    if (verboseMode)
        std::cout << "Class data archive: " << text << std::endl;
}

std::string readWhole(const std::string& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// The runtime's "release" file: JAVA_VERSION="17.0.15", MODULES="java.base …".
struct RuntimeRelease {
    std::string text;
    int feature = 0; // 8 for "1.8.0_x", 17 for "17.0.15"
    bool modulesKnown = false;
    std::string modules;
};

std::string releaseValue(const std::string& text, const std::string& key)
{
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(key + "=", 0) != 0)
            continue;
        std::string value = line.substr(key.size() + 1);
        while (!value.empty() && (value.back() == '\r' || value.back() == ' '))
            value.pop_back();
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        return value;
    }
    return {};
}

RuntimeRelease readRelease(const std::string& jreDirectory)
{
    RuntimeRelease release;
    release.text = readWhole(jreDirectory + "/release");
    const std::string version = releaseValue(release.text, "JAVA_VERSION");
    std::string first = version.substr(0, version.find_first_not_of("0123456789"));
    if (first == "1") { // 1.8.0_x
        const std::string rest = version.substr(2);
        first = rest.substr(0, rest.find_first_not_of("0123456789"));
    }
    release.feature = first.empty() || first.size() > 4 ? 0 : std::stoi(first);
    release.modulesKnown = release.text.find("\nMODULES=") != std::string::npos ||
                           release.text.rfind("MODULES=", 0) == 0;
    release.modules = " " + releaseValue(release.text, "MODULES") + " ";
    return release;
}

std::vector<std::string> classPathElements(const std::string& classPath)
{
    const std::string separator = kClassPathSeparator;
    std::vector<std::string> elements;
    for (size_t start = 0; start <= classPath.size();) {
        size_t end = classPath.find(separator, start);
        if (end == std::string::npos)
            end = classPath.size();
        elements.push_back(classPath.substr(start, end - start));
        start = end + separator.size();
    }
    return elements;
}

bool setsItsOwnArchive(const std::vector<std::string>& options)
{
    for (const std::string& option : options)
        if (option.rfind("-Xshare:", 0) == 0 || option.find("SharedArchiveFile") != std::string::npos ||
            option.find("ArchiveClassesAtExit") != std::string::npos ||
            option.find("RecordDynamicDumpInfo") != std::string::npos)
            return true;
    return false;
}

// The runtime archives classes from jars only, and ends the whole process
// when asked to with a folder of classes on the class path.
std::string folderWithFiles(const std::vector<std::string>& elements)
{
    for (const std::string& element : elements) {
        boost::system::error_code ec;
        if (fs::is_directory(element, ec) && !fs::is_empty(element, ec))
            return element;
    }
    return {};
}

// Why this start cannot have an archive; empty when it can.
std::string impossibility(const ApplicationSettings& settings, const std::string& jreDirectory,
                          const RuntimeRelease& release, const std::vector<std::string>& classPath)
{
    if (setsItsOwnArchive(settings.vmOption))
        return "the configuration's own JVM options set class sharing";
    if (release.feature == 0)
        return "the runtime's release file does not tell its version (" + jreDirectory + "/release)";
    if (release.feature < kFirstCapableRelease)
        return "the runtime is Java " + std::to_string(release.feature) + ", older than 17";
    if (release.modulesKnown && release.modules.find(" java.management ") == std::string::npos)
        return "the runtime has no java.management module";
    const std::string folder = folderWithFiles(classPath);
    if (!folder.empty())
        return "the class path holds a folder with files (" + folder + "); the archive takes jars only";
    return {};
}

// FNV-1a, 64 bits: a change detector for the runtime and the class path.
class Fingerprint {
public:
    void add(const std::string& text)
    {
        for (unsigned char c : text)
            mix(c);
        mix(0xFF);
    }

    // The entry as the JVM itself checks an archive's class path: its size
    // and its time of last change.
    void addFile(const std::string& path)
    {
        add(path);
        boost::system::error_code ec;
        const std::time_t time = fs::last_write_time(path, ec);
        if (ec) {
            add("missing");
            return;
        }
        // A folder has no size: 0. Each call is a look-up of the whole path,
        // paid per entry at every start.
        const std::uintmax_t size = fs::file_size(path, ec);
        add(std::to_string(ec ? 0 : size) + " " + std::to_string(static_cast<long long>(time)));
    }

    std::string text() const
    {
        char hex[17];
        std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash_));
        return hex;
    }

private:
    void mix(unsigned char byte)
    {
        hash_ ^= byte;
        hash_ *= 0x100000001b3ULL;
    }

    std::uint64_t hash_ = 0xcbf29ce484222325ULL;
};

// A checksum of a file's every byte, in hexadecimal: four lanes of 64-bit
// words, each step a bijection of the word, so that any one word changed
// always changes the sum. It detects damage and edits; whoever could forge
// one could as well rewrite the key beside it.
std::optional<std::string> contentChecksum(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return std::nullopt;
    constexpr std::uint64_t kOdd = 0x9E3779B97F4A7C15ULL;
    std::uint64_t lanes[4] = {0x243F6A8885A308D3ULL, 0x13198A2E03707344ULL, 0xA4093822299F31D0ULL,
                              0x082EFA98EC4E6C89ULL};
    std::uint64_t total = 0;
    std::vector<unsigned char> buffer(1 << 20);
    bool failed = false;
    for (;;) {
        size_t got = std::fread(buffer.data(), 1, buffer.size(), file);
        if (got == 0) {
            failed = std::ferror(file) != 0;
            break;
        }
        total += got;
        // A short last block: zeros after it, the length tells them apart.
        while (got % 32 != 0)
            buffer[got++] = 0;
        for (size_t at = 0; at < got; at += 32)
            for (int lane = 0; lane < 4; ++lane) {
                std::uint64_t word;
                std::memcpy(&word, buffer.data() + at + 8 * lane, sizeof word);
                const std::uint64_t mixed = (lanes[lane] ^ word) * kOdd;
                lanes[lane] = (mixed << 29) | (mixed >> 35);
            }
    }
    std::fclose(file);
    if (failed)
        return std::nullopt;
    std::uint64_t sum = total * kOdd;
    for (std::uint64_t lane : lanes) {
        sum = (sum ^ lane) * kOdd;
        sum ^= sum >> 32;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(sum));
    return std::string(hex);
}

std::string fingerprintOf(const std::string& jreDirectory, const RuntimeRelease& release,
                          const std::vector<std::string>& classPath)
{
    Fingerprint fingerprint;
    fingerprint.addFile(javaRuntimeLibraryPath(jreDirectory));
    fingerprint.add(release.text);
    for (const std::string& element : classPath)
        fingerprint.addFile(element);
    return fingerprint.text();
}

// The key's start: the fingerprint the archive was written for, and the
// archive's own size and time then.
std::string keyStart(const std::string& fingerprint, const std::string& archive)
{
    boost::system::error_code ec;
    const std::uintmax_t size = fs::file_size(archive, ec);
    const std::time_t time = fs::last_write_time(archive, ec);
    if (ec)
        return {};
    return fingerprint + " " + std::to_string(size) + " " + std::to_string(static_cast<long long>(time)) + " ";
}

// The whole key: its start, then a checksum of every byte of the archive, so
// that an archive edited in place, its time put back, is not trusted. Empty
// when the archive cannot be read.
std::string keyText(const std::string& fingerprint, const std::string& archive)
{
    const std::string start = keyStart(fingerprint, archive);
    if (start.empty())
        return {};
    const std::optional<std::string> checksum = contentChecksum(archive);
    return checksum ? start + *checksum + "\n" : std::string();
}

// The key as written, if it is one: a regular file, not a link, of a key's
// length at most. Whatever else stands at its name (a pipe that would block,
// a link to an endless device) is no key.
std::string readKey(const std::string& path)
{
    constexpr std::streamsize kLongestKey = 128;
    boost::system::error_code ec;
    if (fs::symlink_status(path, ec).type() != fs::regular_file)
        return {};
    std::ifstream file(path.c_str(), std::ios::binary);
    char text[kLongestKey + 1];
    file.read(text, sizeof text);
    const std::streamsize length = file.gcount();
    return length > kLongestKey ? std::string() : std::string(text, static_cast<size_t>(length));
}

// The size and time decide first, without reading the archive; only then its
// contents are read.
bool validArchive(const ClassDataArchive& plan)
{
    const std::string key = readKey(plan.key);
    const std::string start = keyStart(plan.fingerprint, plan.archive);
    if (start.empty() || key.rfind(start, 0) != 0)
        return false;
    return key == keyText(plan.fingerprint, plan.archive);
}

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
    const char* chars = env->GetStringUTFChars(text.get(), nullptr);
    std::string words = chars != nullptr ? chars : "the runtime refused";
    if (chars != nullptr)
        env->ReleaseStringUTFChars(text.get(), chars);
    return words;
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

ClassDataArchive planClassDataArchive(const ApplicationSettings& settings, const std::string& jreDirectory,
                                      const std::string& classPath)
{
    ClassDataArchive plan;
    if (!settings.classDataArchive)
        return plan;
    // The archive is code the runtime maps, from a folder the user can write.
    if (processIsElevated()) {
        say("not used because the launcher runs elevated");
        return plan;
    }
    const RuntimeRelease release = readRelease(jreDirectory);
    const std::vector<std::string> elements = classPathElements(classPath);
    const std::string reason = impossibility(settings, jreDirectory, release, elements);
    if (!reason.empty()) {
        say("not possible because " + reason);
        return plan;
    }
    const std::optional<std::string> data = applicationDataFolder();
    if (!data) {
        say("not possible because the per-user data folder is not known");
        return plan;
    }
    const std::string folder = *data + "/" + settings.packageName;
    plan.archive = folder + "/classes.jsa";
    plan.key = plan.archive + ".key";
    // The runtime reads a separator in the archive's path as a list of two
    // archives, and refuses to start with more than two.
    if (plan.archive.find(kClassPathSeparator) != std::string::npos) {
        say(std::string("not possible because its path holds the separator ") + kClassPathSeparator +
            ", which the runtime reads as a list of archives: " + plan.archive);
        return ClassDataArchive();
    }
    plan.fingerprint = fingerprintOf(jreDirectory, release, elements);
    // The runtime's own report of sharing (a mismatch, a file it skips) is
    // no business of the application's output.
    if (validArchive(plan)) {
        plan.step = ClassDataArchive::Step::Use;
        plan.options = {"-XX:SharedArchiveFile=" + plan.archive, "-Xlog:cds*=off"};
        say("used " + plan.archive);
        return plan;
    }
    boost::system::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        say("not possible because " + folder + " cannot be made: " + ec.message());
        return plan;
    }
    plan.step = ClassDataArchive::Step::Record;
    plan.options = {"-XX:+RecordDynamicDumpInfo", "-Xlog:cds*=off"};
    say("recording for " + plan.archive);
    return plan;
}

void writeClassDataArchive(const ClassDataArchive& plan, JNIEnv* env, int exitCode)
{
    if (plan.step != ClassDataArchive::Step::Record)
        return;
    if (exitCode == kUpdateRequestedExitCode) {
        say("not written because an update follows");
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
        say("not written because the runtime ended while writing it (is the disk full?)");
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
        const std::string key = keyText(plan.fingerprint, plan.archive);
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
        say("not written because " + reason);
        return;
    }
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    say("written in " + std::to_string(elapsed) + " ms");
}
