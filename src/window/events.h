// Events of the window model, dispatched by component name.
#pragma once

#include <functional>
#include <string>

namespace quenbo::window {

enum class EventKind {
  Created,        // the window was created (component: the window's name)
  Destroying,     // the window is about to be destroyed
  Clicked,        // button, check box (after its state changed), label
  TextChanged,    // edit box, by the user or by the system
  KeyPressed,     // edit box, report list, the window itself (its shortcuts); `key` holds
                  // the key code (13 = Enter, 27 = Esc, letters as capitals), `control`
                  // whether Ctrl was held
  TabChanged,     // tab control; `index` holds the new current tab
  TimerTick,      // timer
  HeaderClicked,  // report list; `index` holds the column
  RightClicked,   // report list
  DoubleClicked,  // report list
  MenuChosen,     // popup menu; `item` holds the chosen item's name
  MouseDown,      // left mouse button pressed on a picture box or label
  Wheel,          // mouse wheel turned over a picture box; `index` holds the delta
};

struct Event {
  std::string component;
  EventKind kind = EventKind::Clicked;
  int index = -1;
  int key = 0;
  std::string item;
  bool control = false;
};

using EventHandler = std::function<void(const Event&)>;

}  // namespace quenbo::window
