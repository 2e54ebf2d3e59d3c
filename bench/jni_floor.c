/* The floor: the least a JNI host can do to run a static int run(String[]).
 * dlopen the runtime, JNI_CreateJavaVM with the class path, FindClass, one
 * static call, nothing else.
 * Usage: jni_floor LIBJVM CLASSPATH CLASS [ALSO]
 * (CLASS with slashes; CLASSPATH as @FILE reads it from FILE, for class paths
 * longer than one argument may be; ALSO, a class found before CLASS, prices
 * the launcher's look-up of the splash class) */
#include <jni.h>

#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef jint(JNICALL *CreateJavaVM)(JavaVM**, void**, void*);

int main(int argc, char** argv)
{
    if (argc != 4 && argc != 5) {
        fprintf(stderr, "usage: jni_floor LIBJVM CLASSPATH CLASS [ALSO]\n");
        return 2;
    }
    void* runtime = dlopen(argv[1], RTLD_NOW | RTLD_GLOBAL);
    CreateJavaVM create = NULL;
    if (runtime != NULL)
        *(void**)&create = dlsym(runtime, "JNI_CreateJavaVM");
    if (create == NULL) {
        fprintf(stderr, "jni_floor: %s\n", dlerror());
        return 2;
    }
    const char* given = argv[2];
    char* fromFile = NULL;
    if (given[0] == '@') {
        FILE* file = fopen(given + 1, "rb");
        if (file == NULL)
            return 2;
        fseek(file, 0, SEEK_END);
        long size = ftell(file);
        fseek(file, 0, SEEK_SET);
        fromFile = calloc((size_t)size + 1, 1);
        if (fread(fromFile, 1, (size_t)size, file) != (size_t)size)
            return 2;
        fclose(file);
        given = fromFile;
    }
    const char* prefix = "-Djava.class.path=";
    char* classPath = malloc(strlen(prefix) + strlen(given) + 1);
    strcpy(classPath, prefix);
    strcat(classPath, given);
    JavaVMOption option = {classPath, NULL};
    JavaVMInitArgs args = {JNI_VERSION_10, 1, &option, JNI_TRUE};
    JavaVM* vm = NULL;
    JNIEnv* env = NULL;
    if (create(&vm, (void**)&env, &args) != JNI_OK)
        return 2;
    if (argc == 5 && (*env)->FindClass(env, argv[4]) == NULL)
        return 2;
    jclass type = (*env)->FindClass(env, argv[3]);
    jmethodID run = type ? (*env)->GetStaticMethodID(env, type, "run", "([Ljava/lang/String;)I") : NULL;
    if (run == NULL)
        return 2;
    jobjectArray none = (*env)->NewObjectArray(env, 0, (*env)->FindClass(env, "java/lang/String"), NULL);
    const jint result = (*env)->CallStaticIntMethod(env, type, run, none);
    // The VM's life ends as java ends it: the launcher's job includes that.
    (*vm)->DetachCurrentThread(vm);
    (*vm)->DestroyJavaVM(vm);
    return result;
}
