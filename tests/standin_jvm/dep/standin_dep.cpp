#include "standin_dep.h"

extern "C" STANDIN_DEP_API int standin_dep_answer()
{
    return 42;
}
