// Process helpers shared by the launcher and the updater: the narrow command
// line, system error texts, the console, the two message boxes and the
// running program's own path.
#pragma once

#include <exception>
#include <optional>
#include <string>

// Fills *result with a malloc'd array of malloc'd NUL-terminated narrow
// strings, one per command-line argument, and returns their count.
int narrowCommandLine(char*** result);
void freeNarrowCommandLine(int count, char** arguments);

// The system's text for the calling thread's last error; empty when there is
// none.
std::string lastErrorText();

void openConsole();
void showErrorBox(const std::exception& e);
void showInfoBox(const std::string& text);

// Full path of the running executable; when the system cannot give it, the
// canonical form of fallbackName (empty when that fails too).
std::string moduleLocation(const char* fallbackName);

// The per-user application-data folder (roaming on Windows, XDG data home on
// Linux); nothing when the system cannot tell.
std::optional<std::string> applicationDataFolder();
