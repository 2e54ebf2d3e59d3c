// Where the two platforms write paths differently.
#pragma once

#include <string>

// Joins class path entries: ";" on Windows, ":" on Linux.
extern const char* const kClassPathSeparator;

// Windows turns every "/" into "\"; Linux keeps the text.
std::string withPreferredSeparators(std::string path);

// Whether a path names its file byte for byte (Linux). On Windows names are
// compared without case, and canonical forms give them the case they have on
// disk.
extern const bool kFileNamesAreExact;
