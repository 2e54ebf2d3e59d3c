#include "output_capture.h"

#include <boost/filesystem.hpp>

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace splash_test {

namespace {

// The descriptor calls under their POSIX and their Windows C runtime names.
#ifdef _WIN32
int duplicate(int descriptor) { return _dup(descriptor); }
int duplicate_onto(int from, int to) { return _dup2(from, to); }
int close_descriptor(int descriptor) { return _close(descriptor); }
int open_for_writing(const char* file) { return _open(file, _O_WRONLY | _O_CREAT | _O_TRUNC, 0600); }
#else
int duplicate(int descriptor) { return dup(descriptor); }
int duplicate_onto(int from, int to) { return dup2(from, to); }
int close_descriptor(int descriptor) { return close(descriptor); }
int open_for_writing(const char* file) { return open(file, O_WRONLY | O_CREAT | O_TRUNC, 0600); }
#endif

void flush_all()
{
    std::cout.flush();
    std::cerr.flush();
    std::fflush(stdout);
    std::fflush(stderr);
}

int counter = 0;

} // namespace

output_capture::output_capture() : out_(capture(1, "out")), err_(capture(2, "err")) {}

output_capture::~output_capture()
{
    if (finished_)
        return;
    const captured_output seen = finish();
    std::cout << seen.out << std::flush;
    std::cerr << seen.err << std::flush;
}

captured_output output_capture::finish()
{
    finished_ = true;
    captured_output seen;
    seen.out = restore(out_);
    seen.err = restore(err_);
    return seen;
}

output_capture::stream output_capture::capture(int descriptor, const char* suffix)
{
    flush_all();
    namespace fs = boost::filesystem;
    const fs::path file = fs::temp_directory_path() / fs::unique_path("splash-capture-%%%%%%%%");
    stream s{descriptor, duplicate(descriptor), file.string() + "-" + std::to_string(++counter) + "." + suffix};
    const int target = open_for_writing(s.file.c_str());
    if (s.saved < 0 || target < 0)
        throw std::runtime_error("cannot capture output");
    duplicate_onto(target, descriptor);
    close_descriptor(target);
    return s;
}

std::string output_capture::restore(stream& s)
{
    flush_all();
    duplicate_onto(s.saved, s.descriptor);
    close_descriptor(s.saved);
    std::string text;
    {
        std::ifstream in(s.file.c_str(), std::ios::binary);
        const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (std::size_t i = 0; i < raw.size(); ++i)
            if (!(raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n'))
                text += raw[i];
    }
    boost::system::error_code ignored;
    boost::filesystem::remove(s.file, ignored);
    return text;
}

} // namespace splash_test
