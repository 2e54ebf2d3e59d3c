// standin_dep.dll: a load-time import of the stand-in jvm.dll that lives only
// in <jre>\bin, as the real runtime's companion DLLs do.
#pragma once

#ifdef STANDIN_DEP_BUILD
#define STANDIN_DEP_API __declspec(dllexport)
#else
#define STANDIN_DEP_API __declspec(dllimport)
#endif

extern "C" STANDIN_DEP_API int standin_dep_answer();
