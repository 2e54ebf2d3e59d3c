/* Preloaded into a splash test's program: dlopen cannot open the library
 * named by SPLASH_TEST_REFUSED_LIBRARY, as on a machine without it. The
 * attempt goes to the real dlopen under a name that does not exist, so that
 * dlerror says why as it would. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

void* dlopen(const char* file, int mode)
{
    void* (*real)(const char*, int);
    /* As POSIX says to take a function from dlsym. */
    *(void**)&real = dlsym(RTLD_NEXT, "dlopen");
    const char* refused = getenv("SPLASH_TEST_REFUSED_LIBRARY");
    char missing[256];
    if (file != NULL && refused != NULL && strcmp(file, refused) == 0 &&
        snprintf(missing, sizeof missing, "refused-%s", file) < (int)sizeof missing)
        return real(missing, mode);
    return real(file, mode);
}
