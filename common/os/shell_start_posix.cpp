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

    // Only the standard streams cross: the Java runtime holds its archives,
    // the application's files and pipes open without close-on-exec.
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return false;
    const bool prepared = posix_spawn_file_actions_addclosefrom_np(&actions, 3) == 0;
    pid_t pid = 0;
    const bool started =
        prepared && posix_spawn(&pid, command.program.c_str(), &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    return started;
}
