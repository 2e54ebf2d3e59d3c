// The splash's lines: standard output for what it does, standard error for
// a picture it refuses.
#include "splash_output.h"

#include <iostream>

void splash_line(const std::string& text)
{
    std::cout << text + '\n' << std::flush;
}

void splash_error_line(const std::string& text)
{
    std::cerr << text + '\n' << std::flush;
}
