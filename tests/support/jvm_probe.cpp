// Creates a virtual machine from the runtime in argv[1], with the remaining
// arguments as options, in a process of its own; prints what happened.
#include "jvm_host.h"

#include <iostream>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: jvm_probe JRE [OPTION...]" << std::endl;
        return 2;
    }
    verboseMode = true;
    try {
        createJavaVM(argv[1], std::vector<std::string>(argv + 2, argv + argc));
        jclass string = processJNIEnv->FindClass("java/lang/String");
        std::cout << "String class " << (string != nullptr ? "found" : "missing") << std::endl;
        return 0;
    } catch (const std::exception& e) {
        std::cout << "error: " << e.what() << std::endl;
        return 1;
    }
}
