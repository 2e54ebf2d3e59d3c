// Prints "system:" or "fallback:" and then moduleLocation(argv[1]).
#include "process.h"

#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv)
{
    char buffer[1024];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
    const char* way = length > 0 && length != static_cast<ssize_t>(sizeof buffer) ? "system" : "fallback";
    std::printf("%s:%s\n", way, moduleLocation(argc > 1 ? argv[1] : nullptr).c_str());
    return 0;
}
