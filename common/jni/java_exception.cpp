// A JNI call's failure turned into the programs' own error.
#include "java_exception.h"

#include <stdexcept>

void failAfterDescribing(JNIEnv* env, const std::string& message)
{
    describeAndClearException(env);
    throw std::runtime_error(message);
}
