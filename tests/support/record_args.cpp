// Stands in for a program that another one starts (the updater, a relaunched
// caller): appends what it received to received.txt beside itself.
#include "process.h"

#include <boost/filesystem.hpp>

#include <fstream>

#ifdef _WIN32
#include <windows.h>
#endif

int main()
{
    char** argv = nullptr;
    int argc = narrowCommandLine(&argv);
    boost::filesystem::path self(moduleLocation(argc > 0 ? argv[0] : nullptr));
    std::ofstream out((self.parent_path() / "received.txt").string().c_str(), std::ios::app | std::ios::binary);
#ifdef _WIN32
    out << "command line: " << GetCommandLineA() << "\n";
#endif
    for (int i = 1; i < argc; ++i)
        out << "arg: " << argv[i] << "\n";
    out << "end\n";
    freeNarrowCommandLine(argc, argv);
    return 0;
}
