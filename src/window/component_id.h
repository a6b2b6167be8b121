// Typed handles of a window's parts. A handle names a component and says what kind it is, so
// the window model offers only the operations that fit: a check box can be ticked, an edit
// box cannot, and `setChecked` on an edit box does not compile.
//
// A handle is a small value that views its name: the name must outlive it. Names are string
// literals, a template's own names, or names made at run time through `internName`.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

#include "window/component.h"

namespace quenbo::window {

// What a handle may reach. `Any` reaches every component (the operations every kind has).
enum class HandleKind : std::uint8_t {
  Any,
  EditBox,
  CheckBox,
  Button,      // plain and styled buttons
  Label,       // labels, transparent labels and hyperlink labels
  PictureBox,
  ReportList,
  TabControl,
  StatusBar,
  Timer,
  FileDialog,
};

// Whether a component of `kind` can be reached through a handle of `handle`.
constexpr bool fits(HandleKind handle, ComponentKind kind) {
  using K = ComponentKind;
  switch (handle) {
    case HandleKind::Any: return true;
    case HandleKind::EditBox: return kind == K::EditBox;
    case HandleKind::CheckBox: return kind == K::CheckBox;
    case HandleKind::Button: return kind == K::Button || kind == K::StyledButton;
    case HandleKind::Label:
      return kind == K::Label || kind == K::TransparentLabel || kind == K::HyperlinkLabel;
    case HandleKind::PictureBox: return kind == K::PictureBox;
    case HandleKind::ReportList: return kind == K::ReportList;
    case HandleKind::TabControl: return kind == K::TabControl;
    case HandleKind::StatusBar: return kind == K::StatusBar;
    case HandleKind::Timer: return kind == K::Timer;
    case HandleKind::FileDialog: return kind == K::FileDialog;
  }
  return false;
}

// How a log line names a handle's kind ("edit box").
std::string_view kindName(HandleKind handle);

// A name that lives until the program ends; equal names share one copy. For handles whose
// names are made at run time (numbered tiles, site boxes). Safe from any thread.
std::string_view internName(std::string_view name);

// What every handle has: its name, which is what events and changes carry.
class NamedId {
 public:
  constexpr explicit NamedId(std::string_view name) : name_(name) {}
  constexpr std::string_view name() const { return name_; }
  constexpr operator std::string_view() const { return name_; }  // NOLINT: names read as text
  friend constexpr bool operator==(const NamedId& id, std::string_view name) {
    return id.name_ == name;
  }
  friend std::ostream& operator<<(std::ostream& out, const NamedId& id);

 private:
  std::string_view name_;
};

// A component of any kind: what the operations every kind has take.
class ComponentId : public NamedId {
 public:
  constexpr explicit ComponentId(std::string_view name) : NamedId(name) {}
  constexpr HandleKind handleKind() const { return kind_; }

 protected:
  constexpr ComponentId(std::string_view name, HandleKind kind) : NamedId(name), kind_(kind) {}

 private:
  HandleKind kind_ = HandleKind::Any;
};

// One handle type per kind of component.
template <HandleKind Kind>
class TypedId : public ComponentId {
 public:
  static constexpr HandleKind kKind = Kind;
  constexpr explicit TypedId(std::string_view name) : ComponentId(name, Kind) {}
};

struct EditBoxId final : TypedId<HandleKind::EditBox> { using TypedId::TypedId; };
struct CheckBoxId final : TypedId<HandleKind::CheckBox> { using TypedId::TypedId; };
struct ButtonId final : TypedId<HandleKind::Button> { using TypedId::TypedId; };
struct LabelId final : TypedId<HandleKind::Label> { using TypedId::TypedId; };
struct PictureBoxId final : TypedId<HandleKind::PictureBox> { using TypedId::TypedId; };
struct ReportListId final : TypedId<HandleKind::ReportList> { using TypedId::TypedId; };
struct TabControlId final : TypedId<HandleKind::TabControl> { using TypedId::TypedId; };
struct StatusBarId final : TypedId<HandleKind::StatusBar> { using TypedId::TypedId; };
struct TimerId final : TypedId<HandleKind::Timer> { using TypedId::TypedId; };
struct FileDialogId final : TypedId<HandleKind::FileDialog> { using TypedId::TypedId; };

// The window itself: the component of its created and destroying events.
struct WindowId final : NamedId { using NamedId::NamedId; };
// A popup menu, and an item of one (what a chosen-item event carries).
struct MenuId final : NamedId { using NamedId::NamedId; };
struct MenuItemId final : NamedId { using NamedId::NamedId; };

}  // namespace quenbo::window
