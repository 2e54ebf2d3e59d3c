#include "updater_runner.h"

#include "java_arguments.h"
#include "jvm_host.h"

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

// The Java side's own account of what went wrong, on standard error.
void describeAndClear(JNIEnv* env)
{
    env->ExceptionDescribe();
    env->ExceptionClear();
}

} // namespace

int invokeUpdaterRunner(const std::vector<std::string>& arguments)
{
    JNIEnv* env = processJNIEnv;

    jclass runnerClass = env->FindClass(kRunnerClass);
    if (runnerClass == nullptr)
        failAfterClearing(env, "The UpdaterRunner is not found");

    jmethodID constructor = env->GetMethodID(runnerClass, "<init>", "()V");
    if (constructor == nullptr)
        failAfterClearing(env, "Failed to create UpdaterRunner");

    // A constructor that throws gives no object to call run on.
    jobject runner = env->NewObject(runnerClass, constructor);
    if (runner == nullptr) {
        if (env->ExceptionCheck())
            describeAndClear(env);
        throw std::runtime_error("Failed to create UpdaterRunner");
    }

    jmethodID run = env->GetMethodID(runnerClass, "run", "([Ljava/lang/String;)I");
    if (run == nullptr)
        failAfterClearing(env, "Failed to run UpdaterRunner");

    jobjectArray array = newJavaStringArray(env, arguments);
    const jint result = env->CallIntMethod(runner, run, array);
    // An update that ended with an exception did not succeed, whatever value
    // the call gave back: starting the caller then could bring the application
    // straight back here with its snapshot still waiting.
    if (env->ExceptionCheck()) {
        describeAndClear(env);
        return result != 0 ? result : kRunnerThrewResult;
    }
    return result;
}
