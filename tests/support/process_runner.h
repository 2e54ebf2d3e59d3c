// Runs a program the way a user would and records what they would see: its
// output, its exit code and, on Windows, the message boxes it shows (read off
// the screen and closed with OK).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

struct MessageBoxSeen {
    std::string caption;
    std::string text;
};

struct RunOptions {
    std::string workingDirectory; // empty: the test's own
    int timeoutMs = 60000;
    std::vector<std::pair<std::string, std::string>> environment; // added or replaced
    bool watchAllProcesses = false; // also boxes of programs it starts
    bool notElevated = false; // Windows: started with the user's token without elevation
};

struct RunResult {
    int exitCode = -1;
    bool timedOut = false;
    std::string out;
    std::string err;
    std::vector<MessageBoxSeen> boxes;
};

// What a parent sees of the exit code 574: all of it on Windows, the low 8
// bits (62) on Linux.
extern const int kFailureExit;

// Windows boxes are read off a real screen: the run needs an X display
// (scripts/test starts Xvfb). Always true on Linux.
::testing::AssertionResult displayForBoxes();

// Arguments are UTF-8; each reaches the program as one argument.
RunResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                     const RunOptions& options = {});

// What a user sees of an error or information box: a real box on Windows,
// the text on standard error or standard output on Linux.
bool showedErrorBox(const RunResult& result, const std::string& text);
bool showedInfoBox(const RunResult& result, const std::string& text);
std::string describe(const RunResult& result);
