#include "main_class.h"

#include "java_arguments.h"
#include "jvm_host.h"

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

    jclass mainClass = env->FindClass(className.c_str());
    if (mainClass == nullptr)
        throw std::runtime_error("The main class is not found: " + className);

    jint result;
    jmethodID staticMethod = env->GetStaticMethodID(mainClass, settings.mainMethod.c_str(), kMainSignature);
    if (staticMethod != nullptr) {
        if (verboseMode)
            std::cout << "Using static runner method: " << settings.mainMethod << std::endl;
        jobjectArray array = newJavaStringArray(env, arguments);
        result = env->CallStaticIntMethod(mainClass, staticMethod, array);
    } else {
        // The failed static lookup left NoSuchMethodError pending.
        env->ExceptionClear();
        if (verboseMode)
            std::cout << "Using runner method: " << settings.mainMethod << std::endl;
        jmethodID constructor = env->GetMethodID(mainClass, "<init>", "()V");
        if (constructor == nullptr)
            throw std::runtime_error("The default constructor is not found for: " + className);
        jobject runner = env->NewObject(mainClass, constructor);
        if (runner == nullptr)
            throw std::runtime_error("Failed to create object for: " + className);
        jmethodID method = env->GetMethodID(mainClass, settings.mainMethod.c_str(), kMainSignature);
        if (method == nullptr)
            throw std::runtime_error("The main method: void " + settings.mainMethod +
                                     "(String[] argv) is not found in class: " + settings.mainClass);
        jobjectArray array = newJavaStringArray(env, arguments);
        result = env->CallIntMethod(runner, method, array);
    }

    if (env->ExceptionOccurred() != nullptr) {
        env->ExceptionDescribe();
        env->ExceptionClear();
    }
    return result;
}
