#include "path_conventions.h"

const char* const kClassPathSeparator = ":";
const bool kFileNamesAreExact = true;

std::string withPreferredSeparators(std::string path)
{
    return path;
}

#include "program_names.h"

const char* const kUpdaterProgramName = "updater";
