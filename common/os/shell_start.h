// Starting another program without waiting for it: through the shell on
// Windows (so that its manifest may ask for elevation), with posix_spawn on
// Linux.
#pragma once

#include <string>
#include <vector>

struct CommandLineToken {
    std::string text;
    bool quoted; // written between double quotes in the command-line text
};

struct ShellCommand {
    std::string program;
    bool quoteProgram = false; // Windows: hand the file name over in quotes
    std::vector<CommandLineToken> arguments;
    bool keepProcessHandle = false; // Windows: ask for the handle (closed at once)
};

// The parameters text, as the started program's CommandLineToArgvW reads it
// back: quoted values keep trailing backslashes and embedded quotes intact,
// and an ordinary value is simply put between double quotes.
std::string commandLineText(const std::vector<CommandLineToken>& arguments);

// Returns true when the program was started.
bool shellStart(const ShellCommand& command);
