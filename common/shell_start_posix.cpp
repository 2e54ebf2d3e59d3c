#include "shell_start.h"

#include <spawn.h>
#include <sys/types.h>

#include <vector>

extern char** environ;

bool shellStart(const ShellCommand& command)
{
    // No shell: every token is one argument, exactly as given.
    std::vector<std::string> tokens;
    tokens.reserve(command.arguments.size() + 1);
    tokens.push_back(command.program);
    for (const CommandLineToken& token : command.arguments)
        tokens.push_back(token.text);
    std::vector<char*> argv;
    for (std::string& token : tokens)
        argv.push_back(&token[0]);
    argv.push_back(nullptr);

    pid_t pid = 0;
    return posix_spawn(&pid, command.program.c_str(), nullptr, nullptr, argv.data(), environ) == 0;
}
