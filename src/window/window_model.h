// The live state of one window: every component's text, check state, enabled and visible
// flags, geometry, colour, picture, tabs, status parts, timer interval and list rows. It is
// the only place that state lives; front-ends draw it and report the user's actions back as
// events. Every operation is safe from any thread.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "window/component.h"
#include "window/events.h"

namespace quenbo::window {

class WindowModel;

enum class ChangeKind {
  Text,           // replaced text or caption
  TextAppended,   // text grew at its end
  Checked,
  Enabled,
  Visible,
  Geometry,
  Colour,
  Picture,
  CurrentTab,
  TabVisible,     // `index`: the tab
  Focus,
  StatusPart,     // `index`: the part
  TimerInterval,
  RowsAppended,   // `index`: the first new row
  RowsReset,      // rows deleted or rewritten as a whole
  CellChanged,    // `index`: the row
  ScrollToRow,    // `index`: the row to bring into view
  UpdatesLocked,  // list repainting locked or unlocked
  WindowVisible,
  Destroyed,      // the window is gone
};

struct Change {
  ChangeKind kind;
  std::string component;  // empty for the window itself
  int index = -1;
};

// Front-ends observe the model. Called on the thread that made the change, after the
// model's lock is released; an observer should re-read the state it needs (on its own
// thread) rather than rely on the order of notifications from different threads.
class ModelObserver {
 public:
  virtual ~ModelObserver() = default;
  virtual void modelChanged(const WindowModel& model, const Change& change) = 0;
};

using Row = std::vector<Text>;

// A list's shape at one moment: `resets` counts deletions and whole rewrites, so an observer
// that saw the same count before knows rows were only appended since.
struct ListShape {
  int rows = 0;
  std::uint64_t resets = 0;
};

// A text at one moment: `replacements` counts whole replacements, so an observer that saw
// the same count knows the text only grew at its end since.
struct TextShape {
  Text text;
  std::uint64_t replacements = 0;
};

class WindowModel final {
 public:
  explicit WindowModel(const WindowTemplate& layout);
  ~WindowModel();
  WindowModel(const WindowModel&) = delete;
  WindowModel& operator=(const WindowModel&) = delete;

  const WindowTemplate& layout() const { return layout_; }
  const std::string& name() const { return layout_.name; }

  // --- the window ---
  bool windowVisible() const;
  void setWindowVisible(bool visible);
  // Fires Created. The front-end calls it once its widgets exist.
  void create();
  // Fires Destroying (the handlers run to completion first), then marks the window
  // destroyed and tells the observers. Does nothing the second time.
  void destroy();
  bool destroyed() const;

  // --- texts: edit boxes, labels, captions ---
  Text text(std::string_view name) const;
  TextShape textShape(std::string_view name) const;
  // Replaces the text. For an edit box this fires TextChanged, as any change does.
  void setText(std::string_view name, const Text& text);
  // Appends at the end (the caret goes to the end, which scrolls it into view).
  void appendText(std::string_view name, const Text& text);
  // What a front-end reports after the user edited a box: same as setText.
  void userSetText(std::string_view name, const Text& text) { setText(name, text); }
  // Types characters at the end of an edit box as a user would: the box's integer-input rule
  // and length limit apply. Returns false when the box took none of them.
  bool typeText(std::string_view name, std::string_view typed);

  // --- check boxes ---
  bool checked(std::string_view name) const;
  // Sets the state without a click event.
  void setChecked(std::string_view name, bool checked);
  // A user click: a check box toggles first; then Clicked fires. Disabled or hidden
  // components ignore it.
  void click(std::string_view name);

  // --- state of any component ---
  bool enabled(std::string_view name) const;
  void setEnabled(std::string_view name, bool enabled);
  bool visible(std::string_view name) const;
  void setVisible(std::string_view name, bool visible);
  Geometry geometry(std::string_view name) const;
  void move(std::string_view name, int left, int top);
  std::optional<std::uint32_t> textColour(std::string_view name) const;
  void setTextColour(std::string_view name, std::uint32_t rgb);
  Bytes picture(std::string_view name) const;
  void setPicture(std::string_view name, const Bytes& bytes);

  // --- focus ---
  std::string focus() const;
  void setFocus(std::string_view name);

  // --- tab control ---
  int currentTab(std::string_view name) const;
  // Fires TabChanged when the current tab changes.
  void setCurrentTab(std::string_view name, int tab);
  bool tabVisible(std::string_view name, int tab) const;
  void setTabVisible(std::string_view name, int tab, bool visible);

  // --- status bar ---
  Text statusPart(std::string_view name, int part) const;
  void setStatusPart(std::string_view name, int part, const Text& text);

  // --- timer ---
  int timerInterval(std::string_view name) const;
  // 0 stops the timer.
  void setTimerInterval(std::string_view name, int milliseconds);

  // --- report list ---
  int rowCount(std::string_view name) const;
  ListShape listShape(std::string_view name) const;
  // Appends a complete row (missing cells are empty) and returns its index.
  int appendRow(std::string_view name, Row cells);
  Text cell(std::string_view name, int row, int column) const;
  Row row(std::string_view name, int row) const;
  void setCell(std::string_view name, int row, int column, const Text& text);
  // Rewrites every row at once (a sort); the row count stays.
  void replaceRows(std::string_view name, std::vector<Row> rows);
  // Rewrites every row at once in a new order without copying a text: position p receives
  // the row that was at order[p], except its first `fixedColumns` cells, which stay at their
  // position (a sort keeps the row numbers). Does nothing unless `order` names every row once.
  void reorderRows(std::string_view name, const std::vector<int>& order, std::size_t fixedColumns);
  void clearRows(std::string_view name);
  int selectedRow(std::string_view name) const;  // -1 when none
  void selectRow(std::string_view name, int row);
  void scrollToRow(std::string_view name, int row);
  int scrolledRow(std::string_view name) const;  // the last row scrolled into view, -1 none
  void lockUpdates(std::string_view name, bool locked);
  bool updatesLocked(std::string_view name) const;

  // --- events ---
  // Binds a handler; several handlers of one event run in binding order.
  void on(std::string_view component, EventKind kind, EventHandler handler);
  // Runs the handlers bound to the event on the calling thread (front-ends call it on the
  // UI thread). Events of a destroyed window are dropped.
  void fire(const Event& event);

  void addObserver(ModelObserver* observer);
  void removeObserver(ModelObserver* observer);

 private:
  struct State;
  struct Binding {
    std::string component;
    EventKind kind;
    EventHandler handler;
  };

  // Looks a component up; null for an unknown name. Call with mutex_ held.
  State* find(std::string_view name);
  const State* find(std::string_view name) const;
  void notify(const Change& change) const;
  void fireChange(std::string_view name, EventKind kind, int index = -1);

  // Looks names up without building a std::string for each call.
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
  };

  const WindowTemplate& layout_;
  mutable std::mutex mutex_;  // guards states_, visible_, destroyed_, focus_
  std::unordered_map<std::string, std::unique_ptr<State>, NameHash, std::equal_to<>> states_;
  bool visible_ = false;
  bool destroyed_ = false;
  std::string focus_;

  mutable std::mutex bindingsMutex_;  // guards bindings_ and observers_
  std::vector<Binding> bindings_;
  std::vector<ModelObserver*> observers_;
};

}  // namespace quenbo::window
