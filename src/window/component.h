// The declarative description of a window: every component with its name, kind, parent,
// geometry, initial text and state. Names are identifiers (UTF-8, as the code spells them);
// texts and captions are GBK.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/text.h"

namespace quenbo::window {

enum class ComponentKind {
  EditBox,
  CheckBox,
  Button,
  StyledButton,      // flat button with a caption
  Label,
  TransparentLabel,  // label without background
  PictureBox,        // container that can show an image
  ReportList,        // multi-column list view
  TabControl,
  StatusBar,
  HyperlinkLabel,
  Timer,             // invisible
  FileDialog,        // invisible
};

struct Geometry {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Geometry&) const = default;
};

struct EditStyle {
  bool multiLine = false;
  bool readOnly = false;
  bool verticalScroll = false;
  bool centred = false;
  bool integerInput = false;  // typed characters limited to 0-9 and "-"
  int maxLength = 0;          // typed text limit; 0 = none
};

struct ColumnTemplate {
  Text header;
  int width = 0;
};

struct StatusPartTemplate {
  int width = 0;
  Text text;
};

struct TabTemplate {
  Text caption;
  bool visible = true;
};

// Colours are 0xRRGGBB.
inline constexpr std::uint32_t kRed = 0xFF0000, kTeal = 0x008080, kDarkRed = 0x800000,
                               kGreen = 0x008000, kBlue = 0x0000FF;

struct ComponentTemplate {
  std::string name;
  ComponentKind kind = ComponentKind::Label;
  std::string parent;   // empty: the window itself
  int tabPage = -1;     // page of the parent tab control the component sits on
  Geometry geometry;
  Text text;            // caption or initial content
  bool visible = true;
  bool enabled = true;
  EditStyle edit;
  std::optional<std::uint32_t> textColour;
  std::vector<ColumnTemplate> columns;     // report list
  std::vector<StatusPartTemplate> parts;   // status bar
  std::vector<TabTemplate> tabs;           // tab control
};

struct MenuItemTemplate {
  std::string name;  // what a chosen-item event carries
  Text caption;      // empty for a separator
  int level = 1;     // 1 = top level, 2 = in the submenu of the level-1 item before it
  bool visible = true;
  bool separator() const { return caption.empty(); }
};

struct MenuTemplate {
  std::string name;
  std::vector<MenuItemTemplate> items;
};

struct WindowTemplate {
  std::string name;
  Text title;
  Geometry geometry;  // outer position and size
  bool visible = false;
  std::vector<ComponentTemplate> components;
  std::vector<MenuTemplate> menus;

  const ComponentTemplate* find(const std::string& name) const;
  const MenuTemplate* findMenu(const std::string& name) const;
};

// The text after typing `typed` at the end of `current` into an edit box: an integer-input
// box drops every typed character but 0-9 and "-", and a box with a length limit stops
// taking characters at the limit. Texts the system sets are never limited.
Text applyTyping(const ComponentTemplate& box, const Text& current, std::string_view typed);

}  // namespace quenbo::window
