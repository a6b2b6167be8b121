// Key codes as the window model's key events carry them: virtual-key codes, whatever the
// toolkit's own (13 is Enter).
#pragma once

class QKeyEvent;

namespace quenbo::qt {

// The code of a pressed key; 0 for keys that have none.
int keyCodeOf(const QKeyEvent& event);

}  // namespace quenbo::qt
