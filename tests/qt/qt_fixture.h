// The Qt test environment: a private X server (Xvfb) for the whole test process, the
// application object on it, and helpers to wait on the GUI thread and keep screenshots.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

class QWidget;

namespace quenbo::qt::testing {

// Processes events until `done` holds or `timeout` passes; returns whether it holds.
bool processUntil(const std::function<bool()>& done,
                  std::chrono::milliseconds timeout = std::chrono::seconds(10));
// Processes events for the given time.
void processFor(std::chrono::milliseconds duration);

// Acts on the next modal dialog as soon as it is up (a message box, the save dialog).
void whenModalShown(std::function<void(QWidget&)> act);

// Renders the widget into <build>/screenshots/<name>.png (or the folder named by
// QUENBO_SCREENSHOT_DIR); returns the file's path, empty
// when it could not be written.
std::string saveScreenshot(QWidget& widget, const std::string& name);
// Where the screenshot of that name goes (the folder is made).
std::string screenshotPath(const std::string& name);

// Whether the fixture runs on a real X server (Xvfb) rather than the offscreen platform.
bool onXServer();

}  // namespace quenbo::qt::testing
