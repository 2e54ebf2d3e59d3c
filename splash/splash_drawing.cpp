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

splash_drawing splash_progress(std::int32_t bar_left, std::int32_t bar_top, std::int32_t bar_width,
                               std::int32_t bar_height, std::int32_t percent, std::int32_t text_x,
                               std::int32_t text_y, std::string text, bool commit)
{
    splash_drawing progress = splash_field(text_x, text_y, std::move(text));
    progress.has_bar = true;
    progress.bar = splash_bar_rect(bar_left, bar_top, bar_width, bar_height, percent);
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
