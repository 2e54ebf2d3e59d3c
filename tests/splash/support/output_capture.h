// Captures what this process writes to standard output and standard error
// (C stdio and C++ streams alike) until finish().
#pragma once

#include <string>

namespace splash_test {

struct captured_output {
    std::string out; // Windows line ends made "\n"
    std::string err;
};

class output_capture {
public:
    output_capture();
    // Without finish(), what was captured is written out after all: an
    // assertion that failed meanwhile still shows its message.
    ~output_capture();
    output_capture(const output_capture&) = delete;
    output_capture& operator=(const output_capture&) = delete;

    // Stops capturing; returns everything written since the start.
    captured_output finish();

private:
    struct stream {
        int descriptor;
        int saved;
        std::string file;
    };
    static stream capture(int descriptor, const char* suffix);
    static std::string restore(stream& s);

    stream out_;
    stream err_;
    bool finished_ = false;
};

} // namespace splash_test
