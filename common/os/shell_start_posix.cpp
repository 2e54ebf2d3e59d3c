// Starting a program on Linux: posix_spawn, no shell.
#include "shell_start.h"

#include "unique_handle.h"

#include <spawn.h>
#include <sys/types.h>

#include <vector>

extern char** environ;

namespace {

// The actions live where the caller declared them; the owner destroys them.
struct spawn_actions_traits {
    using handle_type = posix_spawn_file_actions_t*;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type actions) noexcept { posix_spawn_file_actions_destroy(actions); }
};

} // namespace

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
    posix_spawn_file_actions_t storage;
    if (posix_spawn_file_actions_init(&storage) != 0)
        return false;
    const unique_handle<spawn_actions_traits> actions(&storage);
    const bool prepared = posix_spawn_file_actions_addclosefrom_np(actions.get(), 3) == 0;
    pid_t pid = 0;
    return prepared && posix_spawn(&pid, command.program.c_str(), actions.get(), nullptr, argv.data(), environ) == 0;
}
