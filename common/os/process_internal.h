// Pieces of the process helpers that both platform files share.
#pragma once

#include <exception>
#include <string>

// Size of the buffer the system fills with the executable's path; a result
// that fills it completely counts as cut off.
constexpr unsigned kModulePathBufferSize = 1024;

std::string canonicalFallbackLocation(const char* fallbackName);
std::string errorBoxText(const std::exception& e);
