// The class path of the updater's own virtual machine.
#pragma once

#include <string>

// Every entry below librariesDirectory, at any depth, whose path ends in
// ".jar" (exactly that case; directories too), in listing order, joined with
// the platform's class path separator. Throws the file-system library's error
// for a missing or unreadable directory.
std::string buildUpdaterClassPath(const std::string& librariesDirectory);
