// A file made anew: written only when nothing, not even a link, stands at
// its name, so that a link placed there by someone else is never followed.
#pragma once

#include <string>

// Creates `path` exclusively and writes `text` into it; false when the name
// is taken or the write fails (a partly written file is removed).
bool writeNewFile(const std::string& path, const std::string& text);
