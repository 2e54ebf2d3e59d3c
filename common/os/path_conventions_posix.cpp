#include "path_conventions.h"

const char* const kClassPathSeparator = ":";
const bool kFileNamesAreExact = true;

std::string withPreferredSeparators(std::string path)
{
    return path;
}
