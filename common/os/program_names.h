#pragma once

// File names of the two programs on this platform.
extern const char* const kUpdaterProgramName;
