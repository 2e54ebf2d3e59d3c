// Paths as Linux writes them: ":" between class path entries, exact names.
#include "path_conventions.h"

const char* const kClassPathSeparator = ":";
const bool kFileNamesAreExact = true;

std::string withPreferredSeparators(std::string path)
{
    return path;
}
