// Prints what narrowCommandLine made of its own command line: per argument
// its length, then its bytes in hex, so tests see every byte up to the NUL.
#include "process.h"

#include <cstdio>
#include <cstring>

int main()
{
    char** argv = nullptr;
    int argc = narrowCommandLine(&argv);
    for (int i = 1; i < argc; ++i) {
        std::printf("%zu:", std::strlen(argv[i]));
        for (const char* p = argv[i]; *p != '\0'; ++p)
            std::printf("%02x", static_cast<unsigned char>(*p));
        std::printf("\n");
    }
    freeNarrowCommandLine(argc, argv);
    return argc;
}
