// The dispatch queue: its lines, its order, its end; and the splash bridge's
// use of it from many threads. Also run under ThreadSanitizer (label tsan).
#include "dispatch_queue.h"
#include "output_capture.h"
#include "splash_bridge.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using splash_test::captured_output;
using splash_test::output_capture;

namespace {

// Waits until every task posted so far has run (one worker: FIFO).
void drain(dispatch_queue& queue)
{
    std::promise<void> reached;
    std::future<void> done = reached.get_future();
    queue.dispatch([&reached] { reached.set_value(); });
    ASSERT_EQ(done.wait_for(60s), std::future_status::ready) << "the queue does not run its tasks";
}

TEST(DispatchQueue, AnIdleQueueWritesItsLinesAndJoinsEveryWorker)
{
    output_capture capture;
    const auto start = std::chrono::steady_clock::now();
    { dispatch_queue queue("two_workers", 2); }
    const auto took = std::chrono::steady_clock::now() - start;
    const captured_output seen = capture.finish();
    EXPECT_LT(took, 10s) << "an idle queue ends promptly";
    EXPECT_EQ(seen.out, "Creating dispatch queue: two_workers\n"
                             "Dispatch threads: 2\n"
                             "Destructor: Destroying dispatch threads...\n"
                             "Destructor: Joining thread 0 until completion\n"
                             "Destructor: Joining thread 1 until completion\n");
    EXPECT_EQ(seen.err, "");
}

TEST(DispatchQueue, WithoutThreadsTasksAreKeptUnrunAndOnlyTheFirstDestructorLineIsWritten)
{
    output_capture capture;
    std::atomic<int> runs{0};
    auto captured = std::make_shared<int>(0);
    {
        dispatch_queue queue("no_workers", 0);
        for (int i = 0; i < 3; ++i)
            queue.dispatch([&runs, captured] { ++runs; });
        EXPECT_EQ(captured.use_count(), 4) << "the queue holds its tasks";
    }
    const captured_output seen = capture.finish();
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(captured.use_count(), 1) << "the tasks were destroyed with the queue";
    EXPECT_EQ(seen.out, "Creating dispatch queue: no_workers\n"
                             "Dispatch threads: 0\n"
                             "Destructor: Destroying dispatch threads...\n");
}

TEST(DispatchQueue, TasksFromTwoPostersNeverOverlapOnOneWorker)
{
    dispatch_queue queue("serial", 1);
    std::atomic<int> running{0};
    std::atomic<int> overlaps{0};
    std::atomic<int> finished{0};
    std::mutex ids_lock;
    std::vector<std::thread::id> ids;
    auto work = [&] {
        if (running.fetch_add(1) != 0)
            ++overlaps;
        {
            std::lock_guard<std::mutex> lock(ids_lock);
            ids.push_back(std::this_thread::get_id());
        }
        const auto until = std::chrono::steady_clock::now() + 200us;
        while (std::chrono::steady_clock::now() < until) {
        }
        running.fetch_sub(1);
        ++finished;
    };
    auto poster = [&] {
        for (int i = 0; i < 300; ++i)
            queue.dispatch(work);
    };
    std::thread first(poster);
    std::thread second(poster);
    first.join();
    second.join();
    drain(queue);

    EXPECT_EQ(finished, 600);
    EXPECT_EQ(overlaps, 0);
    std::lock_guard<std::mutex> lock(ids_lock);
    ASSERT_EQ(ids.size(), 600u);
    for (const std::thread::id& id : ids)
        EXPECT_EQ(id, ids.front()) << "every task runs on the one worker";
    EXPECT_NE(ids.front(), std::this_thread::get_id());
}

TEST(DispatchQueue, ATaskPostedByATaskRunsAfterItOnTheSameWorker)
{
    dispatch_queue queue("nested", 1);
    std::vector<std::string> events; // touched on the worker only
    std::thread::id outer_thread;
    std::thread::id inner_thread;
    std::promise<void> inner_ran;
    queue.dispatch([&] {
        outer_thread = std::this_thread::get_id();
        events.push_back("outer begins");
        queue.dispatch([&] {
            inner_thread = std::this_thread::get_id();
            events.push_back("inner");
            inner_ran.set_value();
        });
        std::this_thread::sleep_for(50ms);
        events.push_back("outer ends");
    });
    ASSERT_EQ(inner_ran.get_future().wait_for(60s), std::future_status::ready);
    EXPECT_EQ(events, (std::vector<std::string>{"outer begins", "outer ends", "inner"}));
    EXPECT_EQ(inner_thread, outer_thread);
}

TEST(DispatchQueue, DestroyingWaitsForTheRunningTaskAndDropsTheQueuedOnes)
{
    output_capture capture;
    std::promise<void> started;
    std::atomic<bool> running_task_finished{false};
    std::atomic<int> queued_runs{0};
    auto captured = std::make_shared<int>(0);
    auto destroyed_at = std::chrono::steady_clock::now();
    auto finished_at = destroyed_at;
    {
        dispatch_queue queue("busy", 1);
        queue.dispatch([&] {
            started.set_value();
            std::this_thread::sleep_for(300ms);
            finished_at = std::chrono::steady_clock::now();
            running_task_finished = true;
        });
        for (int i = 0; i < 10; ++i)
            queue.dispatch([&queued_runs, captured] { ++queued_runs; });
        ASSERT_EQ(started.get_future().wait_for(60s), std::future_status::ready);
    }
    destroyed_at = std::chrono::steady_clock::now();
    const captured_output seen = capture.finish();

    EXPECT_TRUE(running_task_finished) << "the destructor returned before the running task had";
    EXPECT_LE(finished_at, destroyed_at);
    EXPECT_EQ(queued_runs, 0) << "queued tasks must not run once destruction began";
    EXPECT_EQ(captured.use_count(), 1) << "queued tasks are destroyed unrun";
    EXPECT_EQ(seen.out, "Creating dispatch queue: busy\n"
                             "Dispatch threads: 1\n"
                             "Destructor: Destroying dispatch threads...\n"
                             "Destructor: Joining thread 0 until completion\n");
}

TEST(DispatchQueue, ManyPostersOnOneWorkerKeepEachPostersOrder)
{
    constexpr int kPosters = 8;
    constexpr int kTasksEach = 2000;
    dispatch_queue queue("stress", 1);
    std::vector<int> last(kPosters, -1); // touched on the worker only
    int out_of_order = 0;
    int total = 0;
    std::atomic<bool> go{false};
    std::vector<std::thread> posters;
    for (int p = 0; p < kPosters; ++p)
        posters.emplace_back([&, p] {
            while (!go)
                std::this_thread::yield();
            for (int i = 0; i < kTasksEach; ++i)
                queue.dispatch([&, p, i] {
                    if (last[p] != i - 1)
                        ++out_of_order;
                    last[p] = i;
                    ++total;
                });
        });
    go = true;
    for (std::thread& poster : posters)
        poster.join();
    drain(queue);

    EXPECT_EQ(total, kPosters * kTasksEach);
    EXPECT_EQ(out_of_order, 0);
    for (int p = 0; p < kPosters; ++p)
        EXPECT_EQ(last[p], kTasksEach - 1);
}

TEST(DispatchQueue, SeveralWorkersRunTasksAtTheSameTime)
{
    constexpr int kWorkers = 3;
    std::mutex lock;
    std::condition_variable changed;
    int inside = 0;
    int met = 0;
    {
        dispatch_queue queue("parallel", kWorkers);
        for (int i = 0; i < kWorkers; ++i)
            queue.dispatch([&] {
                std::unique_lock<std::mutex> guard(lock);
                ++inside;
                changed.notify_all();
                // Only possible when the other tasks run at the same time.
                if (changed.wait_for(guard, 30s, [&] { return inside == kWorkers; }))
                    ++met;
            });
        std::unique_lock<std::mutex> guard(lock);
        changed.wait_for(guard, 60s, [&] { return inside == kWorkers; });
    }
    EXPECT_EQ(met, kWorkers);
}

// Threads keep posting drawings while others hide the splash and show it
// again. A hide waits for its splash thread without holding the others up,
// so the bridge must still make no new queue before the last one has ended.
// No picture is shown: the window layer has nothing to draw on, the bridge
// does all its work.
TEST(SplashBridgeOnTheQueue, HidesRacingWithDrawingsAndShowsKeepOneSplashThreadAtATime)
{
    output_capture capture;
    std::atomic<bool> done{false};
    std::vector<std::thread> drawers;
    for (int t = 0; t < 3; ++t)
        drawers.emplace_back([&done, t] {
            for (int i = 0; !done; ++i) {
                set_splash_field(t, i % 100, "field");
                set_splash_progress({0, 40, 120, 8, i % 101, 0, 20}, "progress", i % 7 == 0);
            }
        });
    std::vector<std::thread> showers;
    for (int t = 0; t < 2; ++t)
        showers.emplace_back([] {
            for (int i = 0; i < 15; ++i) {
                show_png_splash(splash_bytes{'n', 'o', 'n', 'e'});
                hide_splash();
            }
        });
    for (std::thread& shower : showers)
        shower.join();
    done = true;
    for (std::thread& drawer : drawers)
        drawer.join();
    hide_splash();
    const captured_output seen = capture.finish();

    std::istringstream lines(seen.out);
    std::string line;
    bool running = false;
    int made = 0;
    while (std::getline(lines, line)) {
        if (line == "Creating dispatch queue: splash_msg_queue") {
            EXPECT_FALSE(running) << "a second splash thread while one runs";
            running = true;
            ++made;
        } else if (line == "Destructor: Joining thread 0 until completion") {
            EXPECT_TRUE(running);
            running = false;
        }
    }
    EXPECT_FALSE(running) << "the last hide left its splash thread";
    EXPECT_GE(made, 15);
    EXPECT_LE(made, 30);
}

} // namespace
