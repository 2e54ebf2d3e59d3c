// Process helpers shared by the launcher and the updater: the narrow command
// line, system error texts, the console, the two message boxes and the
// running program's own path.
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <vector>

// The program's arguments as narrow text, its own name first. Windows splits
// its wide command line (argc and argv are not used there); Linux copies
// main's argv.
std::vector<std::string> narrowCommandLine(int argc, char** argv);

// The system's text for the calling thread's last error; empty when there is
// none.
std::string lastErrorText();

void openConsole();
void showErrorBox(const std::exception& e);
void showInfoBox(const std::string& text);

// Full path of the running executable; when the system cannot give it and
// fallbackName names a path (not a bare name), its canonical form, else that
// path made absolute (empty when all of that fails).
std::string moduleLocation(const char* fallbackName);

// moduleLocation, for a program that cannot go on without knowing where it
// is: throws std::runtime_error naming `program` instead of returning empty.
std::string requiredModuleLocation(const char* fallbackName, const char* program);

// The running process's id, for names of files of its own.
unsigned long processId();

// The per-user application-data folder (roaming on Windows, XDG data home on
// Linux); nothing when the system cannot tell.
std::optional<std::string> applicationDataFolder();
