// Java strings made from the programs' narrow text.
#include "java_string.h"

#include "text_encoding.h"

jstring newJavaString(JNIEnv* env, const std::string& narrow)
{
    std::u16string wide = narrowToUtf16(narrow);
    static_assert(sizeof(jchar) == sizeof(char16_t), "jchar is a UTF-16 unit");
    return env->NewString(reinterpret_cast<const jchar*>(wide.data()), static_cast<jsize>(wide.size()));
}
