#include "process_runner.h"

#include <sstream>

std::string describe(const RunResult& result)
{
    std::ostringstream text;
    text << "exit code " << result.exitCode << (result.timedOut ? " (timed out)" : "") << "\n--- stdout\n"
         << result.out << "--- stderr\n"
         << result.err;
    for (const MessageBoxSeen& box : result.boxes)
        text << "--- box \"" << box.caption << "\"\n" << box.text << "\n";
    return text.str();
}
