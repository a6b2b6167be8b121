// The user's choices across runs, kept in the settings file. The controls of the main
// window are the live settings: at start-up the loader copies the file's values into them,
// and afterwards each change of a stored control writes that one key back at once.
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <string_view>

#include "base/text.h"
#include "settings/window_placement.h"

namespace quenbo::window {
class WindowModel;
}

namespace quenbo::settings {

class SettingsStore final {
 public:
  SettingsStore(window::WindowModel& window, std::filesystem::path filePath);
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;

  // Copies the file's values into the controls, key by key in a fixed order; a missing
  // file, section or key gives the control its default. Last, the tab that was current
  // becomes current again if it is shown. UI thread, once, at start-up.
  void load();
  // From now on changes are written.
  void markLoaded() { settingsLoaded_ = true; }
  bool loaded() const { return settingsLoaded_; }

  // Writes one key (GBK section, key and value) at once; nothing while the settings are
  // not loaded yet. A failure is not shown to the user and loses nothing stored before:
  // the file is replaced as a whole or not at all.
  bool writeValue(std::string_view section, std::string_view key, std::string_view value);

  // The main window's placement as last stored; none on a first run. Any time.
  std::optional<WindowPlacement> placement() const;
  // Stores the placement, all its keys in one replacement of the file; nothing while the
  // settings are not loaded yet.
  bool writePlacement(const WindowPlacement& placement);

  const std::filesystem::path& filePath() const { return filePath_; }

 private:
  // Applies `change` to the file as one replacement, once the settings are loaded.
  bool change(const std::function<void(IniFile&)>& change);
  window::WindowModel& window_;
  const std::filesystem::path filePath_;
  std::atomic<bool> settingsLoaded_{false};
};

}  // namespace quenbo::settings
