// A named set of worker threads that run posted tasks first in, first out.
// With one worker, tasks run strictly one after another, in posting order,
// all on the same thread: the splash window relies on that.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <queue>
#include <string>
#include <thread>
#include <vector>

class dispatch_queue {
public:
    using task = std::function<void()>;

    // Returns once every worker has started. Throws std::system_error when a
    // thread cannot be started; no queue results then.
    dispatch_queue(std::string name, std::size_t thread_count);
    // Lets a running task finish, drops the queued ones unrun and joins the
    // workers. Must not run on one of this queue's own workers.
    ~dispatch_queue();

    dispatch_queue(const dispatch_queue&) = delete;
    dispatch_queue& operator=(const dispatch_queue&) = delete;

    // Any thread, any time before destruction begins. The task must not be
    // empty and must not let an exception escape.
    void dispatch(task&& work);

private:
    void worker_loop();

    std::string name;
    std::mutex mutex;
    std::vector<std::thread> threads;
    std::queue<task, std::deque<task>> tasks;
    std::condition_variable condition;
    bool quit = false;
};
