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

// argv for an options parser: the program name, then the tokens.
class ArgumentVector {
public:
    ArgumentVector(const std::string& program, std::vector<std::string> tokens);
    int argc() const { return static_cast<int>(pointers_.size()); }
    char** argv() { return pointers_.data(); }

private:
    std::vector<std::string> tokens_;
    std::vector<char*> pointers_;
};

// The two programs' help texts, as the options library renders their tables.
extern const char* const kLauncherHelp;
extern const char* const kUpdaterHelp;
