// Field and progress drawings, and which of a run of them the window keeps
// in its picture and which it only shows.
#include "splash_drawing.h"

#include <utility>

splash_drawing splash_field(std::int32_t x, std::int32_t y, std::string text)
{
    splash_drawing field;
    field.text_x = x;
    field.text_y = y;
    field.text = std::move(text);
    return field;
}

splash_drawing splash_progress(const splash_progress_layout& layout, std::string text, bool commit)
{
    splash_drawing progress = splash_field(layout.text_x, layout.text_y, std::move(text));
    progress.has_bar = true;
    progress.bar =
        splash_bar_rect(layout.bar_left, layout.bar_top, layout.bar_width, layout.bar_height, layout.percent);
    progress.commit = commit;
    return progress;
}

splash_drawing_plan plan_splash_drawings(const splash_drawing_run& run)
{
    splash_drawing_plan plan;
    for (const splash_drawing& drawing : run)
        if (drawing.commit)
            plan.kept.push_back(&drawing);
    if (!run.empty() && !run.back().commit)
        plan.shown = &run.back();
    return plan;
}
