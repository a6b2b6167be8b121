// The live state of one window: every component's text, check state, enabled and visible
// flags, geometry, colour, picture, tabs, status parts, timer interval and list rows. It is
// the only place that state lives; front-ends draw it and report the user's actions back as
// events. Components are reached through typed handles (window/component_id.h).
#pragma once

#include <concepts>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "window/component.h"
#include "window/component_id.h"
#include "window/events.h"

namespace quenbo::window {

class WindowModel;
class UiLoop;

// Whether `Id` is one of `Ids`.
template <class Id, class... Ids>
concept OneOf = (std::same_as<std::remove_cvref_t<Id>, Ids> || ...);

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
  Hint,           // marker or tooltip
};

struct Change {
  ChangeKind kind;
  std::string component;  // empty for the window itself
  int index = -1;
};

// What a component says beyond its text: a marker that makes it stand out as needing
// attention (a site box whose site has no host), and a tooltip saying why.
struct Hint {
  bool marked = false;
  Text toolTip;  // GBK; empty: none
  bool operator==(const Hint&) const = default;
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

// Handles that reach a component with a text of its own: content or caption.
template <class Id>
concept TextId = OneOf<Id, EditBoxId, LabelId, ButtonId, CheckBoxId>;
// Handles that reach a component a user can click.
template <class Id>
concept ClickableId = OneOf<Id, ButtonId, CheckBoxId, LabelId, PictureBoxId>;

// Threads: every state operation is safe from any thread. Events fire on the UI thread only:
// a change a worker makes (a log line appended) posts its event to the UI loop, and the
// handlers run there. Observers are told on the thread that made the change (see
// ModelObserver). A model without a UI loop takes the thread that built it as its UI thread
// and must not be changed by workers in ways that fire events.
//
// An unknown component, or one of another kind than its handle says, is a fault of the
// caller: a debug build stops at an assertion; a release build logs one line to stderr per
// name and leaves the model as it was.
class WindowModel final {
 public:
  explicit WindowModel(const WindowTemplate& layout, UiLoop* loop = nullptr);
  ~WindowModel();
  WindowModel(const WindowModel&) = delete;
  WindowModel& operator=(const WindowModel&) = delete;

  const WindowTemplate& layout() const { return layout_; }
  const std::string& name() const { return layout_.name; }

  // Debug builds: stops unless called on the UI thread.
  void assertOnUiThread() const;

  // --- the window ---
  bool windowVisible() const;
  void setWindowVisible(bool visible);
  // Fires Created. The front-end calls it once its widgets exist (UI thread).
  void create();
  // Fires Destroying (the handlers run to completion first), then marks the window
  // destroyed and tells the observers. Does nothing the second time. UI thread.
  void destroy();
  bool destroyed() const;

  // --- texts: edit boxes, labels, captions ---
  Text text(const TextId auto& id) const { return textOf(id); }
  TextShape textShape(const EditBoxId& box) const;
  // Replaces the text. For an edit box this fires TextChanged, as any change does.
  void setText(const TextId auto& id, const Text& text) { setTextOf(id, text); }
  // Appends at the end (the caret goes to the end, which scrolls it into view).
  void appendText(const EditBoxId& box, const Text& text);
  // What a front-end reports after the user edited a box: same as setText (UI thread).
  void userSetText(const EditBoxId& box, const Text& text);
  // Types characters at the end of an edit box as a user would: the box's integer-input rule
  // and length limit apply. Returns false when the box took none of them. UI thread.
  bool typeText(const EditBoxId& box, std::string_view typed);

  // --- check boxes ---
  bool checked(const CheckBoxId& box) const;
  // Sets the state without a click event.
  void setChecked(const CheckBoxId& box, bool checked);

  // A user click (UI thread): a check box toggles first; then Clicked fires. Disabled or
  // hidden components ignore it.
  void click(const ClickableId auto& id) { clickOn(id); }

  // --- state of any component ---
  bool enabled(const ComponentId& id) const;
  void setEnabled(const ComponentId& id, bool enabled);
  bool visible(const ComponentId& id) const;
  void setVisible(const ComponentId& id, bool visible);
  Geometry geometry(const ComponentId& id) const;
  void move(const ComponentId& id, int left, int top);
  std::optional<std::uint32_t> textColour(const ComponentId& id) const;
  void setTextColour(const ComponentId& id, std::uint32_t rgb);

  // --- marker and tooltip of any component ---
  Hint hint(const ComponentId& id) const;
  void setHint(const ComponentId& id, const Hint& hint);

  // --- picture boxes ---
  Bytes picture(const PictureBoxId& box) const;
  void setPicture(const PictureBoxId& box, const Bytes& bytes);

  // --- focus ---
  std::string focus() const;
  void setFocus(const ComponentId& id);

  // --- tab control ---
  int currentTab(const TabControlId& tabs) const;
  // Fires TabChanged when the current tab changes.
  void setCurrentTab(const TabControlId& tabs, int tab);
  bool tabVisible(const TabControlId& tabs, int tab) const;
  void setTabVisible(const TabControlId& tabs, int tab, bool visible);

  // --- status bar ---
  Text statusPart(const StatusBarId& bar, int part) const;
  void setStatusPart(const StatusBarId& bar, int part, const Text& text);

  // --- timer ---
  int timerInterval(const TimerId& timer) const;
  // 0 stops the timer.
  void setTimerInterval(const TimerId& timer, int milliseconds);

  // --- report list ---
  int rowCount(const ReportListId& list) const;
  ListShape listShape(const ReportListId& list) const;
  // Appends a complete row (missing cells are empty) and returns its index.
  int appendRow(const ReportListId& list, Row cells);
  Text cell(const ReportListId& list, int row, int column) const;
  Row row(const ReportListId& list, int row) const;
  void setCell(const ReportListId& list, int row, int column, const Text& text);
  // Rewrites every row at once (a sort); the row count stays.
  void replaceRows(const ReportListId& list, std::vector<Row> rows);
  // Rewrites every row at once in a new order without copying a text: position p receives
  // the row that was at order[p], except its first `fixedColumns` cells, which stay at their
  // position (a sort keeps the row numbers). Does nothing unless `order` names every row once.
  void reorderRows(const ReportListId& list, const std::vector<int>& order,
                   std::size_t fixedColumns);
  void clearRows(const ReportListId& list);
  // The current row: the one an action on "the selected row" takes; -1 when none.
  int selectedRow(const ReportListId& list) const;
  // Selects just that row (-1: none) and makes it current.
  void selectRow(const ReportListId& list, int row);
  // Every selected row, in list order; the current row is one of them.
  std::vector<int> selectedRows(const ReportListId& list) const;
  // Selects several rows (out-of-range ones are left out) with `current` as the current
  // row, or the first of them when `current` is not among them.
  void selectRows(const ReportListId& list, std::vector<int> rows, int current);
  void scrollToRow(const ReportListId& list, int row);
  int scrolledRow(const ReportListId& list) const;  // the last row scrolled into view, -1 none
  void lockUpdates(const ReportListId& list, bool locked);
  bool updatesLocked(const ReportListId& list) const;

  // --- events ---
  // Binds a handler; several handlers of one event run in binding order, on the UI thread.
  void on(const ComponentId& component, EventKind kind, EventHandler handler);
  // The window's own events: Created and Destroying.
  void on(const WindowId& window, EventKind kind, EventHandler handler);
  // A popup menu's events: MenuChosen, with the item in the event.
  void on(const MenuId& menu, EventKind kind, EventHandler handler);
  // Runs the handlers bound to the event (UI thread). Front-ends report the user's actions
  // through it by name. Events of a destroyed window are dropped.
  void fire(const Event& event);

  void addObserver(ModelObserver* observer);
  // Once this returns the observer is not called again, and no call of it is under way on
  // another thread: it waits for those, so call it without holding a lock the observer
  // takes. An observer may remove itself from inside its call.
  void removeObserver(ModelObserver* observer);

 private:
  struct State;
  struct Observing;
  struct Binding {
    std::string component;
    EventKind kind;
    EventHandler handler;
  };

  Text textOf(const ComponentId& id) const;
  void setTextOf(const ComponentId& id, const Text& text);
  void clickOn(const ComponentId& id);

  // Looks a component up; null (after reporting it) for an unknown name or a component of
  // another kind than the handle's. Call with mutex_ held.
  State* find(const ComponentId& id);
  const State* find(const ComponentId& id) const;
  void reportUnknown(const ComponentId& id, bool wrongKind) const;
  void notify(const Change& change) const;
  // Fires the event of a change: at once on the UI thread, otherwise posted to it.
  void fireChange(std::string_view name, EventKind kind, int index = -1);

  // Looks names up without building a std::string for each call.
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
  };

  const WindowTemplate& layout_;
  UiLoop* const loop_;                  // null: the building thread is the UI thread
  const std::thread::id builtOn_;
  // Cleared by the destructor (UI thread); an event posted by a worker that runs later on
  // the UI thread finds it gone.
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);

  mutable std::mutex mutex_;  // guards states_' contents, visible_, destroyed_, focus_, reported_
  std::unordered_map<std::string, std::unique_ptr<State>, NameHash, std::equal_to<>> states_;
  bool visible_ = false;
  bool destroyed_ = false;
  std::string focus_;
  mutable std::unordered_set<std::string> reported_;  // unknown names already logged

  // Guards bindings_, observers_ and what each Observing records.
  mutable std::mutex bindingsMutex_;
  mutable std::condition_variable callEnded_;  // a call of an observer has returned
  std::vector<Binding> bindings_;
  std::vector<std::shared_ptr<Observing>> observers_;
};

}  // namespace quenbo::window
