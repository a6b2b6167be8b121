// What went wrong with the hosts files, told where the user looks.
#pragma once

#include <filesystem>

#include "app/site_setup.h"
#include "window/interactions.h"
#include "window/window_model.h"

class QObject;

namespace quenbo::qt {

// Each problem goes to standard error and the log box; a --hosts file that cannot be read
// also gets a message box, shown from the event loop once the window is up (`context` ends
// it early when destroyed).
void reportSiteProblems(const app::SiteSetup& sites, const std::filesystem::path& hostsFile,
                        window::WindowModel& mainWindow, window::Interactions& interactions,
                        QObject& context);

}  // namespace quenbo::qt
