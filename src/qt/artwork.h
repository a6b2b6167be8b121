// Our own pictures: the application icon (from data/icons), the neutral pictures of the
// donation page and the background of the update window's button bar (drawn at run time).
#pragma once

#include <QIcon>

#include "base/text.h"
#include "window/window_model.h"

namespace quenbo::qt {

// The sizes of the program's icon, drawn from data/icons/quenbo.svg.
inline constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// The program's icon in every size: the window icon.
QIcon applicationIcon();

// PNG bytes: a soft card with a heart, for the two pictures of the donation page.
Bytes thanksPicture(int width, int height);
// PNG bytes: a light vertical gradient, the update window's button bar.
Bytes panelPicture(int width, int height);

// Puts the pictures into the picture boxes of both windows.
void installArtwork(window::WindowModel& mainWindow, window::WindowModel& updateWindow);

}  // namespace quenbo::qt
