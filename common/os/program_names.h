// File names of the programs on this platform.
#pragma once

inline constexpr const char* kUpdaterProgramName =
#ifdef _WIN32
    "updater.exe";
#else
    "updater";
#endif
