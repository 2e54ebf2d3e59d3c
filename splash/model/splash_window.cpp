// The splash window's model: which frame the window shows, made from the
// picture and the drawings asked for, over the platform's back end.
#include "splash_window.h"

#include "splash_backend.h"
#include "splash_output.h"
#include "splash_text.h"

#include <atomic>
#include <utility>
#include <vector>

namespace {

// The splash state: the splash thread's alone. It lives until the process
// ends (never destroyed, so that leaving main does not pull it from under a
// splash thread that is still running).
struct splash_state {
    // The base image: the picture with every kept drawing in it.
    splash_frame splash_image;
    splash_size size;
    // The frame the window shows (not owned), and the one it shows when that
    // is not the base image: the last uncommitted frame, or a base image that
    // a later show replaced while the window still showed it. A frame is
    // released as soon as the window no longer shows it.
    splash_frame_handle shown = nullptr;
    splash_frame shown_extra;
};

splash_state& state()
{
    static splash_state* const instance = new splash_state;
    return *instance;
}

std::atomic<std::uint64_t> frames_shown{0};

// A window system that went away takes its window and frames with it; the
// splash goes on as without one, until a show finds one again.
void drop_if_lost(splash_state& s)
{
    if (splash_backend_give_up_if_lost()) {
        s.splash_image.reset();
        s.shown_extra.reset();
        s.shown = nullptr;
    }
}

bool has_window(splash_state& s)
{
    drop_if_lost(s);
    return splash_backend_has_window();
}

bool can_draw(splash_state& s)
{
    return has_window(s) && s.splash_image;
}

void present(splash_state& s, splash_frame_handle frame)
{
    ++frames_shown;
    splash_present(frame);
    s.shown = frame;
}

// A new frame holding source with the drawings painted over it, in their
// order; empty when it cannot be made. Texts reach the painter as the
// characters they are, cut to the first kSplashMostTextUnits code units,
// bars cut to the picture, and empty texts not at all, so that a bar alone
// loads no font.
splash_frame compose_frame(const splash_state& s, splash_frame_handle source,
                           const std::vector<const splash_drawing*>& drawings)
{
    splash_frame frame = splash_copy_frame(source, s.size);
    if (!frame)
        return frame;
    splash_painter painter(frame.get(), s.size);
    for (const splash_drawing* drawing : drawings) {
        if (splash_backend_lost())
            break;
        if (!drawing->text.empty())
            painter.text(drawing->text_x, drawing->text_y,
                         utf16_from_modified_utf8(drawing->text, kSplashMostTextUnits));
        if (drawing->has_bar) {
            const splash_rect visible = splash_rect_within(drawing->bar, s.size.width, s.size.height);
            if (!splash_rect_empty(visible))
                painter.bar(visible);
        }
    }
    return frame;
}

} // namespace

void prepare_splash_window()
{
    splash_backend_preload();
}

void show_splash_window(splash_bitmap image)
{
    splash_state& s = state();
    drop_if_lost(s);
    // The window may still show the base image it replaces.
    splash_frame replaced = std::move(s.splash_image);
    if (replaced && replaced.get() == s.shown)
        s.shown_extra = std::move(replaced);
    replaced.reset();

    splash_line("Initialize window system");
    const bool opened = splash_backend_open();
    if (!image) {
        splash_line("The bitmap is not found");
        return;
    }
    splash_line("Bitmap resource succefully loaded");
    s.size = splash_picture_size(image);
    if (!opened)
        return;

    s.splash_image = splash_frame_of(std::move(image));
    const splash_size screen = splash_screen_size();
    splash_place_window((screen.width - s.size.width) / 2, (screen.height - s.size.height) / 2, s.size);
    present(s, s.splash_image.get());
    s.shown_extra.reset();
    splash_map_window();
    pump_splash_messages();
}

void draw_splash_text(std::int32_t x, std::int32_t y, const std::string& text)
{
    draw_splash_drawings({splash_field(x, y, text)});
}

void draw_splash_progress(const splash_progress_layout& layout, const std::string& text, bool commit)
{
    draw_splash_drawings({splash_progress(layout, text, commit)});
}

void draw_splash_drawings(const splash_drawing_run& run)
{
    splash_state& s = state();
    if (run.empty() || !can_draw(s))
        return;
    const splash_drawing_plan plan = plan_splash_drawings(run);
    splash_frame base;
    if (!plan.kept.empty()) {
        base = compose_frame(s, s.splash_image.get(), plan.kept);
        // No frame, no picture to draw on until the next show.
        if (!base) {
            present(s, nullptr);
            pump_splash_messages();
            s.splash_image.reset();
            s.shown_extra.reset();
            return;
        }
    }
    splash_frame_handle const source = base ? base.get() : s.splash_image.get();
    splash_frame frame = plan.shown != nullptr ? compose_frame(s, source, {plan.shown}) : splash_frame();
    // The window lets go of what it showed before any frame is released.
    present(s, plan.shown != nullptr ? frame.get() : source);
    if (base)
        s.splash_image = std::move(base);
    s.shown_extra = std::move(frame);
    pump_splash_messages();
}

void destroy_splash_window()
{
    splash_state& s = state();
    if (!has_window(s))
        return;
    splash_destroy_window();
    s.shown = nullptr;
    s.shown_extra.reset();
    drop_if_lost(s);
}

void pump_splash_messages()
{
    splash_state& s = state();
    if (!has_window(s))
        return;
    splash_pump_events();
    drop_if_lost(s);
}

std::uint64_t splash_frames_shown()
{
    return frames_shown.load();
}
