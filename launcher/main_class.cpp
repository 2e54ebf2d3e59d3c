// The application's main class found and its runner method called.
#include "main_class.h"

#include "java_arguments.h"
#include "java_exception.h"
#include "jvm_host.h"
#include "local_ref.h"

#include <algorithm>
#include <iostream>
#include <stdexcept>

namespace {

const char* const kMainSignature = "([Ljava/lang/String;)I";

} // namespace

int invokeMainClass(const ApplicationSettings& settings, const std::vector<std::string>& arguments)
{
    JNIEnv* env = processJNIEnv;
    std::string className = settings.mainClass;
    std::replace(className.begin(), className.end(), '.', '/');
    if (verboseMode)
        std::cout << "Using main class: " << className << std::endl;

    // Held until the method has returned: the call needs them all.
    const LocalRef<jclass> mainClass = localRef(env, env->FindClass(className.c_str()));
    if (!mainClass)
        throw std::runtime_error("The main class is not found: " + className);
    LocalRef<jobject> runner;
    LocalRef<jobjectArray> array;

    jint result;
    jmethodID staticMethod = env->GetStaticMethodID(mainClass.get(), settings.mainMethod.c_str(), kMainSignature);
    if (staticMethod != nullptr) {
        if (verboseMode)
            std::cout << "Using static runner method: " << settings.mainMethod << std::endl;
        array = newJavaStringArray(env, arguments);
        result = env->CallStaticIntMethod(mainClass.get(), staticMethod, array.get());
    } else {
        // The failed static lookup left NoSuchMethodError pending.
        env->ExceptionClear();
        if (verboseMode)
            std::cout << "Using runner method: " << settings.mainMethod << std::endl;
        jmethodID constructor = env->GetMethodID(mainClass.get(), "<init>", "()V");
        if (constructor == nullptr)
            throw std::runtime_error("The default constructor is not found for: " + className);
        runner = localRef(env, env->NewObject(mainClass.get(), constructor));
        if (!runner)
            throw std::runtime_error("Failed to create object for: " + className);
        jmethodID method = env->GetMethodID(mainClass.get(), settings.mainMethod.c_str(), kMainSignature);
        if (method == nullptr)
            throw std::runtime_error("The main method: void " + settings.mainMethod +
                                     "(String[] argv) is not found in class: " + settings.mainClass);
        array = newJavaStringArray(env, arguments);
        result = env->CallIntMethod(runner.get(), method, array.get());
    }

    describeAndClearException(env);
    return result;
}
