// A search as the main window's controls ask for it, read once when it starts: the keyword,
// page-limit and time-out boxes, the ticked site boxes and the filter tab.
#pragma once

#include "core/filter_settings.h"
#include "core/search_request.h"
#include "window/window_model.h"

namespace quenbo::ui {

// The filter tab: four check boxes, two word lists, the GB and MB boxes.
core::FilterSettings readFilterSettings(const window::WindowModel& window);

// The keyword, the page-limit and time-out boxes (as integers), the site boxes and the
// filter tab, with the window's pacing.
core::SearchRequest readSearchRequest(const window::WindowModel& window);

}  // namespace quenbo::ui
