// The updater's class-path scan of a lib tree, timed in-process: prints the
// median and the slowest of RUNS scans, in milliseconds, and the entries.
// Usage: updater_scan LIB_DIRECTORY RUNS
#include "updater_class_path.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: updater_scan LIB_DIRECTORY RUNS\n");
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[2]));
    std::vector<double> times;
    size_t entries = 0;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const std::string classPath = buildUpdaterClassPath(argv[1]);
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        entries = classPath.empty() ? 0 : 1 + static_cast<size_t>(std::count(classPath.begin(), classPath.end(), ':'));
    }
    std::sort(times.begin(), times.end());
    std::printf("%.3f %.3f %zu\n", times[times.size() / 2], times.back(), entries);
    return 0;
}
