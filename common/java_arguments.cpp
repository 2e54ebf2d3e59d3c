#include "java_arguments.h"

#include "java_string.h"

jobjectArray newJavaStringArray(JNIEnv* env, const std::vector<std::string>& arguments)
{
    jstring empty = env->NewStringUTF("");
    jclass stringClass = env->FindClass("java/lang/String");
    jobjectArray array = env->NewObjectArray(static_cast<jsize>(arguments.size()), stringClass, empty);
    for (size_t i = 0; i < arguments.size(); ++i)
        env->SetObjectArrayElement(array, static_cast<jsize>(i), newJavaString(env, arguments[i]));
    return array;
}
