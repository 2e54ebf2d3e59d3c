// A whole file read into memory, for the small files the programs keep.
#pragma once

#include <optional>
#include <string>

// The file's bytes; nothing when it cannot be opened or read (a folder
// included, which opens on Linux but fails the first read).
std::optional<std::string> readWholeFile(const std::string& path);
