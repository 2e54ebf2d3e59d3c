// A loadable library that is not a Java runtime: it exports a function, just
// not JNI_CreateJavaVM.
#ifdef _WIN32
#define STANDIN_EXPORT __declspec(dllexport)
#else
#define STANDIN_EXPORT __attribute__((visibility("default")))
#endif

extern "C" STANDIN_EXPORT int standin_not_a_jvm()
{
    return 0;
}
