// An Xvfb server of a test's own, on a display number nobody uses, for what
// a test must not do to the shared one, such as ending it under a client.
// It is stopped when the object goes, whatever the test did.
#pragma once

#include <sys/types.h>

#include <string>

namespace splash_test {

class private_x_server {
public:
    // Throws std::runtime_error when no server comes up within a while.
    private_x_server();
    ~private_x_server();
    private_x_server(const private_x_server&) = delete;
    private_x_server& operator=(const private_x_server&) = delete;

    std::string display() const { return display_; } // ":N"

    // Whether a splash window ("Tarnwick.IO") is mapped on this server.
    bool shows_splash_window() const;

    // Ends the server and waits until it has gone.
    void stop();

private:
    pid_t pid_ = -1;
    std::string display_;
};

} // namespace splash_test
