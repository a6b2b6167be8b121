// The change handlers of the stored controls: each writes its one key at the moment of the
// change (once the settings are loaded); the number boxes keep their bounds; the filter's
// controls then have the result list rebuilt.
#pragma once

#include "settings/stored_settings.h"

namespace quenbo::window {
class WindowModel;
}

namespace quenbo::settings {

class SettingsStore;
class FilterRebuilder;


// Binds the handlers; all of them run on the UI thread. Bind before the settings are
// loaded: the bounds rules apply to the loader's values as well.
void bindSettingsHandlers(window::WindowModel& window, SettingsStore& settings,
                          FilterRebuilder& rebuilder);

}  // namespace quenbo::settings
