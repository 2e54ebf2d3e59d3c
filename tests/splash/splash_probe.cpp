// Runs the splash bridge, step by step from its arguments, in a process of
// its own: for what a test process can do only once, such as a first show
// without a display, or a show whose splash thread cannot start.
//
//   show FILE | field X Y TEXT | progress A B C D E F G TEXT | hide | sleep MS
//   repeated-field X Y COUNT TEXT   (a field of TEXT COUNT times over; \uXXXX
//                                    in TEXT is that UTF-16 unit, as Java
//                                    hands it over in modified UTF-8)
//   no-threads   (Linux: from here on, a new thread's stack cannot be mapped)
#include "splash_bridge.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <thread>

#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

int number(const char* text)
{
    return std::atoi(text);
}

// Any command line carries ASCII whole.
std::string unescaped(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\\u") != 0 || i + 6 > text.size()) {
            out += text[i];
            continue;
        }
        const unsigned long unit = std::stoul(text.substr(i + 2, 4), nullptr, 16);
        if (unit != 0 && unit < 0x80) {
            out += static_cast<char>(unit);
        } else if (unit < 0x800) {
            out += static_cast<char>(0xC0 | (unit >> 6));
            out += static_cast<char>(0x80 | (unit & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (unit >> 12));
            out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (unit & 0x3F));
        }
        i += 5;
    }
    return out;
}

bool forbid_new_threads()
{
#ifdef _WIN32
    return false;
#else
    // Room for what the process maps already and a little more, but not for
    // the 8 MiB stack of a new thread.
    std::ifstream statm("/proc/self/statm");
    unsigned long pages = 0;
    statm >> pages;
    const rlim_t size = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (2u << 20);
    const rlimit limit{size, size};
    return setrlimit(RLIMIT_AS, &limit) == 0;
#endif
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc;) {
        const std::string step = argv[i++];
        if (step == "show" && i < argc) {
            std::ifstream file(argv[i++], std::ios::binary);
            show_png_splash(splash_bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>()));
        } else if (step == "field" && i + 2 < argc) {
            set_splash_field(number(argv[i]), number(argv[i + 1]), argv[i + 2]);
            i += 3;
        } else if (step == "repeated-field" && i + 3 < argc) {
            const std::string piece = unescaped(argv[i + 3]);
            std::string text;
            for (int n = number(argv[i + 2]); n > 0; --n)
                text += piece;
            set_splash_field(number(argv[i]), number(argv[i + 1]), text);
            i += 4;
        } else if (step == "progress" && i + 7 < argc) {
            set_splash_progress({number(argv[i]), number(argv[i + 1]), number(argv[i + 2]), number(argv[i + 3]),
                                 number(argv[i + 4]), number(argv[i + 5]), number(argv[i + 6])},
                                argv[i + 7], false);
            i += 8;
        } else if (step == "hide") {
            hide_splash();
        } else if (step == "sleep" && i < argc) {
            std::this_thread::sleep_for(std::chrono::milliseconds(number(argv[i++])));
        } else if (step == "no-threads") {
            if (!forbid_new_threads()) {
                std::cerr << "probe: cannot limit the address space" << std::endl;
                return 2;
            }
        } else {
            std::cerr << "probe: bad step " << step << std::endl;
            return 2;
        }
    }
    std::cout << "probe: done" << std::endl;
    return 0;
}
