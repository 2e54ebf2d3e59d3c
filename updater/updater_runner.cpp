// The updater's Java side started: UpdaterRunner made and run.
#include "updater_runner.h"

#include "java_arguments.h"
#include "java_exception.h"
#include "jvm_host.h"
#include "local_ref.h"

#include <stdexcept>

namespace {

const char* const kRunnerClass = "io/tarnwick/updater/UpdaterRunner";
constexpr jint kRunnerThrewResult = 1;

// A failed lookup leaves NoClassDefFoundError or NoSuchMethodError pending;
// our own message says what is missing.
[[noreturn]] void failAfterClearing(JNIEnv* env, const char* message)
{
    env->ExceptionClear();
    throw std::runtime_error(message);
}

} // namespace

int invokeUpdaterRunner(const std::vector<std::string>& arguments)
{
    JNIEnv* env = processJNIEnv;

    const LocalRef<jclass> runnerClass = localRef(env, env->FindClass(kRunnerClass));
    if (!runnerClass)
        failAfterClearing(env, "The UpdaterRunner is not found");

    jmethodID constructor = env->GetMethodID(runnerClass.get(), "<init>", "()V");
    if (constructor == nullptr)
        failAfterClearing(env, "Failed to create UpdaterRunner");

    // A constructor that throws gives no object to call run on.
    const LocalRef<jobject> runner = localRef(env, env->NewObject(runnerClass.get(), constructor));
    if (!runner) {
        describeAndClearException(env);
        throw std::runtime_error("Failed to create UpdaterRunner");
    }

    jmethodID run = env->GetMethodID(runnerClass.get(), "run", "([Ljava/lang/String;)I");
    if (run == nullptr)
        failAfterClearing(env, "Failed to run UpdaterRunner");

    const LocalRef<jobjectArray> array = newJavaStringArray(env, arguments);
    const jint result = env->CallIntMethod(runner.get(), run, array.get());
    // An update that ended with an exception did not succeed, whatever value
    // the call gave back: starting the caller then could bring the application
    // straight back here with its snapshot still waiting.
    if (describeAndClearException(env))
        return result != 0 ? result : kRunnerThrewResult;
    return result;
}
