// The workers of a dispatch_queue: each takes the oldest task posted and
// runs it, until the queue is destroyed.
#include "dispatch_queue.h"

#include <cstdio>
#include <utility>

dispatch_queue::dispatch_queue(std::string name, std::size_t thread_count)
    : name(std::move(name)), threads(thread_count)
{
    // Flushed at once, so that these lines keep their place among the splash
    // lines that go through std::cout to the same stream.
    std::printf("Creating dispatch queue: %s\n", this->name.c_str());
    std::printf("Dispatch threads: %zu\n", thread_count);
    std::fflush(stdout);

    try {
        for (std::size_t i = 0; i < threads.size(); ++i)
            threads[i] = std::thread(&dispatch_queue::worker_loop, this);
    } catch (...) {
        // A joinable thread must not be destroyed: stop the ones that started.
        {
            std::lock_guard<std::mutex> lock(mutex);
            quit = true;
        }
        condition.notify_all();
        for (std::thread& thread : threads)
            if (thread.joinable())
                thread.join();
        throw;
    }
}

dispatch_queue::~dispatch_queue()
{
    std::printf("Destructor: Destroying dispatch threads...\n");
    std::fflush(stdout);
    {
        std::lock_guard<std::mutex> lock(mutex);
        quit = true;
    }
    condition.notify_all();
    for (std::size_t i = 0; i < threads.size(); ++i) {
        if (threads[i].joinable()) {
            std::printf("Destructor: Joining thread %zu until completion\n", i);
            std::fflush(stdout);
            threads[i].join();
        }
    }
}

void dispatch_queue::dispatch(task&& work)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        tasks.push(std::move(work));
    }
    condition.notify_all();
}

void dispatch_queue::worker_loop()
{
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        if (tasks.empty()) {
            if (quit)
                break;
            condition.wait(lock);
            continue;
        }
        if (quit)
            break;
        task work = std::move(tasks.front());
        tasks.pop();
        lock.unlock();
        work();
        lock.lock();
        // The task's captured state goes while the lock is held.
        work = nullptr;
        if (quit)
            break;
    }
}
