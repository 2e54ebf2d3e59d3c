#include "private_x_server_posix.h"

#include "x_windows_posix.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

extern char** environ;

namespace splash_test {

namespace {

// scripts/test takes 90 to 140; developers' own servers sit at 150 and up.
constexpr int kFirstDisplay = 170;
constexpr int kLastDisplay = 199;

bool taken(int number)
{
    const std::string n = std::to_string(number);
    return access(("/tmp/.X11-unix/X" + n).c_str(), F_OK) == 0 || access(("/tmp/.X" + n + "-lock").c_str(), F_OK) == 0;
}

pid_t start_xvfb(const std::string& display)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // -noreset: without it the server resets when the last client leaves (the
    // readiness probe), and a connection made during the reset is refused.
    std::vector<std::string> tokens{"Xvfb", display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset"};
    std::vector<char*> argv;
    for (std::string& token : tokens)
        argv.push_back(&token[0]);
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int failed = posix_spawnp(&pid, "Xvfb", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return failed != 0 ? -1 : pid;
}

bool ended(pid_t pid)
{
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == pid;
}

// Until the server answers (true), or its process ends or the time is up.
bool answers(const std::string& display, pid_t pid)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        if (Display* connection = XOpenDisplay(display.c_str())) {
            XCloseDisplay(connection);
            return true;
        }
        if (ended(pid))
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

} // namespace

private_x_server::private_x_server()
{
    for (int number = kFirstDisplay; number <= kLastDisplay; ++number) {
        if (taken(number))
            continue;
        const std::string display = ":" + std::to_string(number);
        const pid_t pid = start_xvfb(display);
        if (pid < 0)
            break;
        pid_ = pid;
        if (answers(display, pid)) {
            display_ = display;
            return;
        }
        // Another server took the number first, or this one hangs.
        stop();
    }
    throw std::runtime_error("no private Xvfb server could be started");
}

private_x_server::~private_x_server()
{
    stop();
}

bool private_x_server::shows_splash_window() const
{
    // A connection of its own, closed again at once: it must not be open
    // when the server ends, or Xlib would end this process.
    Display* connection = XOpenDisplay(display_.c_str());
    if (connection == nullptr)
        return false;
    bool found = false;
    for (const x_windows::top_level& window : x_windows::viewable_top_levels(connection))
        found = found || window.name == "Tarnwick.IO";
    XCloseDisplay(connection);
    return found;
}

void private_x_server::stop()
{
    if (pid_ < 0)
        return;
    kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!ended(pid_)) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    pid_ = -1;
}

} // namespace splash_test
