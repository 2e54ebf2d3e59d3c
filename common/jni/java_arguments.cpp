// The String[] of arguments, made element by element with every reference owned.
#include "java_arguments.h"

#include "java_exception.h"
#include "java_string.h"

#include <string>

LocalRef<jobjectArray> newJavaStringArray(JNIEnv* env, const std::vector<std::string>& arguments)
{
    LocalRef<jobjectArray> array;
    {
        const LocalRef<jstring> empty = localRef(env, env->NewStringUTF(""));
        if (!empty)
            failAfterDescribing(env, "Failed to create the Java argument array");
        const LocalRef<jclass> stringClass = localRef(env, env->FindClass("java/lang/String"));
        if (!stringClass)
            failAfterDescribing(env, "Failed to create the Java argument array");
        array = localRef(env, env->NewObjectArray(static_cast<jsize>(arguments.size()), stringClass.get(),
                                                  empty.get()));
        if (!array)
            failAfterDescribing(env, "Failed to create the Java argument array");
    }
    for (size_t i = 0; i < arguments.size(); ++i) {
        const LocalRef<jstring> text = localRef(env, newJavaString(env, arguments[i]));
        if (!text)
            failAfterDescribing(env, "Failed to create the Java string of argument " + std::to_string(i + 1));
        env->SetObjectArrayElement(array.get(), static_cast<jsize>(i), text.get());
    }
    return array;
}
