#include "allocation_watch.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> watching{false};
std::atomic<std::size_t> ceiling{0};
std::atomic<std::size_t> largest_seen{0};

} // namespace

namespace splash_test {

allocation_watch::allocation_watch(std::size_t most)
{
    ceiling = most;
    largest_seen = 0;
    watching = true;
}

allocation_watch::~allocation_watch()
{
    watching = false;
}

std::size_t allocation_watch::largest() const
{
    return largest_seen.load();
}

} // namespace splash_test

void* operator new(std::size_t size)
{
    if (watching.load()) {
        std::size_t seen = largest_seen.load();
        while (size > seen && !largest_seen.compare_exchange_weak(seen, size)) {
        }
        if (size > ceiling.load())
            throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size != 0 ? size : 1))
        return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}
