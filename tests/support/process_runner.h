// Runs a program the way a user would and records what they would see: its
// output, its exit code and, on Windows, the message boxes it shows (read off
// the screen and closed with OK).
#pragma once

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
};

struct RunResult {
    int exitCode = -1;
    bool timedOut = false;
    std::string out;
    std::string err;
    std::vector<MessageBoxSeen> boxes;
};

// Arguments are UTF-8; each reaches the program as one argument.
RunResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                     const RunOptions& options = {});

// What a user sees of an error or information box: a real box on Windows,
// the text on standard error or standard output on Linux.
bool showedErrorBox(const RunResult& result, const std::string& text);
bool showedInfoBox(const RunResult& result, const std::string& text);
std::string describe(const RunResult& result);
