// The archive's verbose lines: what it did or why not, for whoever debugs a
// slow start. Nothing of it reaches the output otherwise.
#pragma once

#include "jvm_host.h"

#include <iostream>
#include <string>

inline void sayAboutArchive(const std::string& text)
{
    if (verboseMode)
        std::cout << "Class data archive: " << text << std::endl;
}
