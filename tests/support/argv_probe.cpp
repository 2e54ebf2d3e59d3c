// Prints what narrowCommandLine made of its own command line: per argument
// its length, then its bytes in hex, so tests see every byte up to the NUL.
#include "process.h"

#include <cstdio>

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments = narrowCommandLine(argc, argv);
    for (size_t i = 1; i < arguments.size(); ++i) {
        std::printf("%zu:", arguments[i].size());
        for (char c : arguments[i])
            std::printf("%02x", static_cast<unsigned char>(c));
        std::printf("\n");
    }
    return static_cast<int>(arguments.size());
}
