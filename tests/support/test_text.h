// Texts the tests build and expect in more than one place.
#pragma once

#include <string>
#include <vector>

// A text between double quotes with '"' and '\' escaped: a JSON string, and
// the stand-in runtime's trace literal for ASCII text.
std::string quotedLiteral(const std::string& text);
// The same texts as "[a, b]".
std::string quotedList(const std::vector<std::string>& texts);
// Backslashes doubled, as a trace literal writes a path.
std::string escapedBackslashes(const std::string& text);

// The two programs' help texts, as the options library renders their tables.
extern const char* const kLauncherHelp;
extern const char* const kUpdaterHelp;
