// Watches what this program allocates through operator new while a watch
// lives: the largest single allocation, and a ceiling above which new fails
// at once with std::bad_alloc, so that code about to allocate gigabytes
// fails fast instead of taking the machine. Its translation unit replaces
// the global operator new and delete: link it into one test program only.
#pragma once

#include <cstddef>

namespace splash_test {

class allocation_watch {
public:
    explicit allocation_watch(std::size_t ceiling);
    ~allocation_watch();
    allocation_watch(const allocation_watch&) = delete;
    allocation_watch& operator=(const allocation_watch&) = delete;

    std::size_t largest() const;
};

} // namespace splash_test
