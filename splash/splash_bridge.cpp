#include "splash_bridge.h"

#include "dispatch_queue.h"
#include "splash_output.h"
#include "splash_text.h"
#include "splash_window.h"

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
};

bridge_state& bridge()
{
    static bridge_state* const instance = new bridge_state;
    return *instance;
}

void report(const char* what, const std::exception& e)
{
    splash_line(std::string(what) + e.what());
}

// A task that lets no exception out: one escaping the splash thread would
// end the process.
template <class Work>
dispatch_queue::task guarded(Work work)
{
    return [work = std::move(work)]() {
        try {
            work();
        } catch (const std::exception& e) {
            report("Splash task failed: ", e);
        } catch (...) {
            splash_line("Splash task failed");
        }
    };
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
        report("Failed to create splash queue: ", e);
        return false;
    }
}

// Runs a bridge operation under the lock; nothing it throws reaches the
// caller, who may be the Java virtual machine.
template <class Operation>
void locked(Operation operation)
{
    try {
        bridge_state& b = bridge();
        std::lock_guard<std::mutex> lock(b.lock);
        operation(b);
    } catch (const std::exception& e) {
        report("Splash call failed: ", e);
    } catch (...) {
        splash_line("Splash call failed");
    }
}

} // namespace

void show_resource_splash()
{
    locked([](bridge_state& b) {
        if (make_queue(b))
            b.splash_queue->dispatch(guarded([] { show_splash_window(load_resource_splash_image()); }));
    });
}

void show_png_splash(splash_bytes png)
{
    locked([&png](bridge_state& b) {
        if (make_queue(b))
            b.splash_queue->dispatch(
                guarded([png = std::move(png)] { show_splash_window(load_png_splash_image(png)); }));
    });
}

void set_splash_field(std::int32_t x, std::int32_t y, const std::string& text)
{
    locked([&](bridge_state& b) {
        if (b.splash_queue)
            b.splash_queue->dispatch(guarded(
                [x, y, text = splash_drawable_prefix(text)] { draw_splash_text(x, y, text); }));
    });
}

void set_splash_progress(std::int32_t bar_left, std::int32_t bar_top, std::int32_t bar_width,
                         std::int32_t bar_height, std::int32_t percent, std::int32_t text_x, std::int32_t text_y,
                         const std::string& text, bool commit)
{
    locked([&](bridge_state& b) {
        if (b.splash_queue)
            b.splash_queue->dispatch(
                guarded([bar_left, bar_top, bar_width, bar_height, percent, text_x, text_y,
                         text = splash_drawable_prefix(text), commit] {
                    draw_splash_progress(bar_left, bar_top, bar_width, bar_height, percent, text_x, text_y, text,
                                         commit);
                }));
    });
}

void hide_splash()
{
    locked([](bridge_state& b) {
        if (!b.splash_queue)
            return;
        // The queue has one worker: once the hide task has run, so has
        // everything posted before it.
        auto hidden = std::make_shared<std::promise<void>>();
        std::future<void> done = hidden->get_future();
        b.splash_queue->dispatch([hidden, hide = guarded([] { destroy_splash_window(); })] {
            hide();
            hidden->set_value();
        });
        done.wait();
        b.splash_queue.reset();
    });
}
