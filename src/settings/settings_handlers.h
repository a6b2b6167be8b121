// The change handlers of the stored controls: each writes its one key at the moment of the
// change (once the settings are loaded); the number boxes keep their bounds; the filter's
// controls then have the result list rebuilt.
#pragma once

namespace quenbo::window {
class WindowModel;
}

namespace quenbo::ui {

class SettingsStore;
class FilterRebuilder;

// The range a number box keeps: a text outside it is replaced by the nearer bound.
struct NumberBounds {
  int lowest, highest;
};
inline constexpr NumberBounds kPageBounds{1, 30};     // 编辑框_页数: pages per site
inline constexpr NumberBounds kTimeoutBounds{3, 10};  // 编辑框_时间: seconds per request
inline constexpr NumberBounds kThreadBounds{1, 10};   // 编辑框_线程数量

// Binds the handlers; all of them run on the UI thread. Bind before the settings are
// loaded: the bounds rules apply to the loader's values as well.
void bindSettingsHandlers(window::WindowModel& window, SettingsStore& settings,
                          FilterRebuilder& rebuilder);

}  // namespace quenbo::ui
