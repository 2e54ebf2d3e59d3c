// Paths as Windows writes them: ";" between class path entries, backslashes,
// names that ignore case.
#include "path_conventions.h"

#include <algorithm>

const char* const kClassPathSeparator = ";";
const bool kFileNamesAreExact = false;

std::string withPreferredSeparators(std::string path)
{
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}
