// trace.txt beside the library: one line per call, appended and closed each
// time so that a test can read it even after the process died.
#pragma once

#include <filesystem>
#include <string>

namespace standin {

// The folder that holds the library, standin.txt and trace.txt.
const std::filesystem::path& home_directory();

// Appends `line` and LF. Callers hold the runtime lock.
void trace(const std::string& line);

// Reports a misuse or an unsupported call on stderr and in the trace, then
// aborts: a test that gets here has found a bug, not a result.
[[noreturn]] void fatal(const std::string& message);

} // namespace standin
