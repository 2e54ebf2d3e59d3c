#include "java_exception.h"

#include <stdexcept>

void describeAndClearException(JNIEnv* env)
{
    if (env->ExceptionCheck()) {
        env->ExceptionDescribe();
        env->ExceptionClear();
    }
}

void failAfterDescribing(JNIEnv* env, const std::string& message)
{
    describeAndClearException(env);
    throw std::runtime_error(message);
}
