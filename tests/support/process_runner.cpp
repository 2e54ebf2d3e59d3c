#include "process_runner.h"

#include <cstdlib>
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

::testing::AssertionResult displayForBoxes()
{
#ifdef _WIN32
    if (std::getenv("DISPLAY") == nullptr)
        return ::testing::AssertionFailure() << "needs an X display (scripts/test starts Xvfb)";
#endif
    return ::testing::AssertionSuccess();
}
