// The splash operations: one lock around the queue of the splash thread,
// and the tasks they post to it.
#include "splash_bridge.h"

#include "dispatch_queue.h"
#include "exception_barrier.h"
#include "splash_output.h"
#include "splash_text.h"
#include "splash_window.h"

#include <condition_variable>
#include <exception>
#include <future>
#include <memory>
#include <mutex>
#include <utility>

namespace {

// The splash queue, made by the first show and destroyed by the hide, and
// the lock that every operation takes around it. Never destroyed at exit: a
// splash that is not hidden lives until the process ends.
struct bridge_state {
    std::mutex lock;
    std::unique_ptr<dispatch_queue> splash_queue;
    // Field and progress drawings posted since the last other task: one
    // task, posted with the first of them, draws them all at once.
    std::shared_ptr<splash_drawing_run> open_run;
    // A hide waits for the splash thread without the lock; meanwhile a show
    // or another hide waits for it to end, so that one splash thread at most
    // uses the window.
    bool hiding = false;
    std::condition_variable hidden;
};

bridge_state& bridge()
{
    static bridge_state* const instance = new bridge_state;
    return *instance;
}

void report(const std::string& line)
{
    splash_line(line);
}

// A task that lets no exception out: one escaping the splash thread would
// end the process.
template <class Work>
dispatch_queue::task guarded(Work work)
{
    return [work = std::move(work)]() { exceptionBarrier("Splash task failed", work, report); };
}

// The caller holds the lock.
bool make_queue(bridge_state& b)
{
    if (b.splash_queue)
        return true;
    try {
        b.splash_queue = std::make_unique<dispatch_queue>("splash_msg_queue", 1);
        return true;
    } catch (const std::exception& e) {
        report(std::string("Failed to create splash queue: ") + e.what());
        return false;
    }
}

// The caller holds the lock. Drawings posted later go after this task.
void post(bridge_state& b, dispatch_queue::task task)
{
    b.splash_queue->dispatch(std::move(task));
    b.open_run.reset();
}

// On the splash thread: everything the run holds by now, in one frame.
// Drawings posted from here on start a run of their own.
void draw_run(const std::shared_ptr<splash_drawing_run>& run)
{
    splash_drawing_run drawings;
    {
        bridge_state& b = bridge();
        std::lock_guard<std::mutex> lock(b.lock);
        drawings.swap(*run);
        if (b.open_run == run)
            b.open_run.reset();
    }
    draw_splash_drawings(drawings);
}

// The caller holds the lock. However fast drawings come, the queue holds
// one task for those the splash thread has not taken yet, and each text is
// kept only as far as it can be drawn.
void add_drawing(bridge_state& b, splash_drawing drawing)
{
    if (!b.open_run) {
        auto run = std::make_shared<splash_drawing_run>();
        b.splash_queue->dispatch(guarded([run] { draw_run(run); }));
        b.open_run = run;
    }
    drawing.text = splash_drawable_prefix(drawing.text);
    b.open_run->push_back(std::move(drawing));
}

// Runs a bridge operation under the lock; nothing it throws reaches the
// caller, who may be the Java virtual machine.
template <class Operation>
void locked(Operation operation)
{
    exceptionBarrier(
        "Splash call failed",
        [&operation] {
            bridge_state& b = bridge();
            std::unique_lock<std::mutex> lock(b.lock);
            operation(b, lock);
        },
        report);
}

void wait_while_hiding(bridge_state& b, std::unique_lock<std::mutex>& lock)
{
    b.hidden.wait(lock, [&b] { return !b.hiding; });
}

} // namespace

void show_resource_splash()
{
    locked([](bridge_state& b, std::unique_lock<std::mutex>& lock) {
        wait_while_hiding(b, lock);
        if (make_queue(b))
            post(b, guarded([] { show_splash_window(load_resource_splash_image()); }));
    });
}

void show_png_splash(splash_bytes png)
{
    locked([&png](bridge_state& b, std::unique_lock<std::mutex>& lock) {
        wait_while_hiding(b, lock);
        if (make_queue(b))
            post(b, guarded([png = std::move(png)] { show_splash_window(load_png_splash_image(png)); }));
    });
}

void await_splash(std::chrono::milliseconds most)
{
    std::future<void> done;
    locked([&done](bridge_state& b, std::unique_lock<std::mutex>& lock) {
        wait_while_hiding(b, lock);
        if (!b.splash_queue)
            return;
        auto reached = std::make_shared<std::promise<void>>();
        done = reached->get_future();
        post(b, [reached] { reached->set_value(); });
    });
    if (!done.valid())
        return;
    // Meanwhile this thread loads what the splash thread needs next.
    exceptionBarrier("Splash call failed", [] { prepare_splash_window(); }, report);
    // A queue destroyed before the task ran breaks the promise: done too.
    done.wait_for(most);
}

void set_splash_field(std::int32_t x, std::int32_t y, const std::string& text)
{
    locked([&](bridge_state& b, std::unique_lock<std::mutex>&) {
        if (b.splash_queue)
            add_drawing(b, splash_field(x, y, text));
    });
}

void set_splash_progress(const splash_progress_layout& layout, const std::string& text, bool commit)
{
    locked([&](bridge_state& b, std::unique_lock<std::mutex>&) {
        if (b.splash_queue)
            add_drawing(b, splash_progress(layout, text, commit));
    });
}

void hide_splash()
{
    locked([](bridge_state& b, std::unique_lock<std::mutex>& lock) {
        wait_while_hiding(b, lock);
        if (!b.splash_queue)
            return;
        // The queue has one worker: once the hide task has run, so has
        // everything posted before it.
        auto hidden = std::make_shared<std::promise<void>>();
        std::future<void> done = hidden->get_future();
        post(b, [hidden, hide = guarded([] { destroy_splash_window(); })] {
            hide();
            hidden->set_value();
        });
        // Calls from here on find no queue and do nothing, without waiting.
        std::unique_ptr<dispatch_queue> queue = std::move(b.splash_queue);
        b.hiding = true;
        lock.unlock();
        done.wait();
        queue.reset();
        lock.lock();
        b.hiding = false;
        b.hidden.notify_all();
    });
}
