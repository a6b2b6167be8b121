#include "window/window_model.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <utility>

#include "window/ui_loop.h"

namespace quenbo::window {

struct WindowModel::State {
  explicit State(const ComponentTemplate& t)
      : layout(&t),
        text(t.text),
        enabled(t.enabled),
        visible(t.visible),
        geometry(t.geometry),
        colour(t.textColour) {
    for (const auto& tab : t.tabs) tabVisible.push_back(tab.visible);
    for (const auto& part : t.parts) parts.push_back(part.text);
  }

  const ComponentTemplate* layout;
  Text text;
  std::uint64_t replacements = 0;
  bool checked = false;
  bool enabled;
  bool visible;
  Geometry geometry;
  std::optional<std::uint32_t> colour;
  Hint hint;
  Bytes picture;
  int currentTab = 0;
  std::vector<bool> tabVisible;
  std::vector<Text> parts;
  int interval = 0;
  std::vector<Row> rows;
  std::uint64_t resets = 0;
  int selected = -1;
  std::vector<int> selection;  // sorted; holds `selected` when that is not -1
  int scrolled = -1;
  bool locked = false;
};

WindowModel::WindowModel(const WindowTemplate& layout, UiLoop* loop)
    : layout_(layout), loop_(loop), builtOn_(std::this_thread::get_id()), visible_(layout.visible) {
  for (const auto& component : layout.components) {
    states_.emplace(component.name, std::make_unique<State>(component));
  }
}

WindowModel::~WindowModel() = default;

void WindowModel::assertOnUiThread() const {
  assert(loop_ ? loop_->onUiThread() : std::this_thread::get_id() == builtOn_);
}

WindowModel::State* WindowModel::find(const ComponentId& id) {
  return const_cast<State*>(std::as_const(*this).find(id));
}

const WindowModel::State* WindowModel::find(const ComponentId& id) const {
  auto it = states_.find(id.name());
  if (it == states_.end()) {
    reportUnknown(id, false);
    return nullptr;
  }
  if (!fits(id.handleKind(), it->second->layout->kind)) {
    reportUnknown(id, true);
    return nullptr;
  }
  return it->second.get();
}

void WindowModel::reportUnknown(const ComponentId& id, bool wrongKind) const {
  if (reported_.emplace(id.name()).second) {
    std::string kind(kindName(id.handleKind())), name(id.name());
    std::fprintf(stderr, "quenbo: window %s has no %s named %s%s\n", layout_.name.c_str(),
                 kind.c_str(), name.c_str(),
                 wrongKind ? " (a component of another kind has that name)" : "");
  }
  assert(!"a handle names no component of its kind");
}

// An observer as the model holds it: whether it has been removed, and which threads are in
// its call now (guarded by bindingsMutex_).
struct WindowModel::Observing {
  explicit Observing(ModelObserver* o) : observer(o) {}
  ModelObserver* const observer;
  bool removed = false;
  std::vector<std::thread::id> callers;
};

void WindowModel::notify(const Change& change) const {
  std::vector<std::shared_ptr<Observing>> observers;
  {
    std::lock_guard lock(bindingsMutex_);
    observers = observers_;
  }
  const std::thread::id self = std::this_thread::get_id();
  for (const auto& o : observers) {
    {
      std::lock_guard lock(bindingsMutex_);
      // Removed since the copy: its owner may be destroying it now.
      if (o->removed) continue;
      o->callers.push_back(self);
    }
    o->observer->modelChanged(*this, change);
    {
      std::lock_guard lock(bindingsMutex_);
      o->callers.erase(std::find(o->callers.begin(), o->callers.end(), self));
    }
    callEnded_.notify_all();
  }
}

void WindowModel::fireChange(std::string_view name, EventKind kind, int index) {
  Event event;
  event.component = std::string(name);
  event.kind = kind;
  event.index = index;
  if (loop_ && !loop_->onUiThread()) {
    // A worker's change: its handlers run on the UI thread, once the loop gets to it.
    loop_->post([this, alive = std::weak_ptr<int>(alive_), event] {
      if (alive.lock()) fire(event);
    });
    return;
  }
  fire(event);
}

// --- the window ---

bool WindowModel::windowVisible() const {
  std::lock_guard lock(mutex_);
  return visible_;
}

void WindowModel::setWindowVisible(bool visible) {
  {
    std::lock_guard lock(mutex_);
    if (visible_ == visible) return;
    visible_ = visible;
  }
  notify({ChangeKind::WindowVisible, {}});
}

void WindowModel::create() {
  assertOnUiThread();
  fireChange(name(), EventKind::Created);
}

void WindowModel::destroy() {
  assertOnUiThread();
  {
    std::lock_guard lock(mutex_);
    if (destroyed_) return;
  }
  fireChange(name(), EventKind::Destroying);
  {
    std::lock_guard lock(mutex_);
    if (destroyed_) return;  // a handler destroyed it already
    destroyed_ = true;
    visible_ = false;
  }
  notify({ChangeKind::Destroyed, {}});
}

bool WindowModel::destroyed() const {
  std::lock_guard lock(mutex_);
  return destroyed_;
}

// --- texts ---

Text WindowModel::textOf(const ComponentId& name) const {
  std::lock_guard lock(mutex_);
  const State* s = find(name);
  return s ? s->text : Text();
}

TextShape WindowModel::textShape(const EditBoxId& name) const {
  std::lock_guard lock(mutex_);
  const State* s = find(name);
  return s ? TextShape{s->text, s->replacements} : TextShape{};
}

void WindowModel::setTextOf(const ComponentId& name, const Text& text) {
  bool editBox;
  {
    std::lock_guard lock(mutex_);
    State* s = find(name);
    if (!s) return;
    s->text = text;
    ++s->replacements;
    editBox = s->layout->kind == ComponentKind::EditBox;
  }
  notify({ChangeKind::Text, std::string(name)});
  if (editBox) fireChange(name, EventKind::TextChanged);
}

void WindowModel::appendText(const EditBoxId& name, const Text& text) {
  bool editBox;
  {
    std::lock_guard lock(mutex_);
    State* s = find(name);
    if (!s) return;
    s->text += text;
    editBox = s->layout->kind == ComponentKind::EditBox;
  }
  notify({ChangeKind::TextAppended, std::string(name)});
  if (editBox) fireChange(name, EventKind::TextChanged);
}

void WindowModel::userSetText(const EditBoxId& box, const Text& text) {
  assertOnUiThread();
  setText(box, text);
}

bool WindowModel::typeText(const EditBoxId& name, std::string_view typed) {
  assertOnUiThread();
  Text next;
  {
    std::lock_guard lock(mutex_);
    State* s = find(name);
    if (!s || s->layout->kind != ComponentKind::EditBox || s->layout->edit.readOnly ||
        !s->enabled) {
      return false;
    }
    next = applyTyping(*s->layout, s->text, typed);
    if (next == s->text) return false;
  }
  setText(name, next);
  return true;
}

// --- check boxes ---

bool WindowModel::checked(const CheckBoxId& name) const {
  std::lock_guard lock(mutex_);
  const State* s = find(name);
  return s && s->checked;
}

void WindowModel::setChecked(const CheckBoxId& name, bool checked) {
  {
    std::lock_guard lock(mutex_);
    State* s = find(name);
    if (!s || s->checked == checked) return;
    s->checked = checked;
  }
  notify({ChangeKind::Checked, std::string(name)});
}

void WindowModel::clickOn(const ComponentId& name) {
  assertOnUiThread();
  bool toggled = false;
  {
    std::lock_guard lock(mutex_);
    State* s = find(name);
    if (!s || !s->enabled || !s->visible) return;
    if (s->layout->kind == ComponentKind::CheckBox) {
      s->checked = !s->checked;
      toggled = true;
    }
  }
  if (toggled) notify({ChangeKind::Checked, std::string(name)});
  fireChange(name, EventKind::Clicked);
}

// --- state of any component ---

bool WindowModel::enabled(const ComponentId& name) const {
  std::lock_guard lock(mutex_);
  const State* s = find(name);
  return s && s->enabled;
}

void WindowModel::setEnabled(const ComponentId& name, bool enabled) {
  {
    std::lock_guard lock(mutex_);
    State* s = find(name);
    if (!s || s->enabled == enabled) return;
    s->enabled = enabled;
  }
  notify({ChangeKind::Enabled, std::string(name)});
}

bool WindowModel::visible(const ComponentId& name) const {
  std::lock_guard lock(mutex_);
  const State* s = find(name);
  return s && s->visible;
}

void WindowModel::setVisible(const ComponentId& name, bool visible) {
  {
    std::lock_guard lock(mutex_);
    State* s = find(name);
    if (!s || s->visible == visible) return;
    s->visible = visible;
  }
  notify({ChangeKind::Visible, std::string(name)});
}

Geometry WindowModel::geometry(const ComponentId& name) const {
  std::lock_guard lock(mutex_);
  const State* s = find(name);
  return s ? s->geometry : Geometry{};
}

void WindowModel::move(const ComponentId& name, int left, int top) {
  {
    std::lock_guard lock(mutex_);
    State* s = find(name);
    if (!s) return;
    s->geometry.left = left;
    s->geometry.top = top;
  }
  notify({ChangeKind::Geometry, std::string(name)});
}

std::optional<std::uint32_t> WindowModel::textColour(const ComponentId& name) const {
  std::lock_guard lock(mutex_);
  const State* s = find(name);
  return s ? s->colour : std::nullopt;
}

void WindowModel::setTextColour(const ComponentId& name, std::uint32_t rgb) {
  {
    std::lock_guard lock(mutex_);
    State* s = find(name);
    if (!s) return;
    s->colour = rgb;
  }
  notify({ChangeKind::Colour, std::string(name)});
}

Hint WindowModel::hint(const ComponentId& name) const {
  std::lock_guard lock(mutex_);
  const State* s = find(name);
  return s ? s->hint : Hint{};
}

void WindowModel::setHint(const ComponentId& name, const Hint& hint) {
  {
    std::lock_guard lock(mutex_);
    State* s = find(name);
    if (!s || s->hint == hint) return;
    s->hint = hint;
  }
  notify({ChangeKind::Hint, std::string(name)});
}

Bytes WindowModel::picture(const PictureBoxId& name) const {
  std::lock_guard lock(mutex_);
  const State* s = find(name);
  return s ? s->picture : Bytes();
}

void WindowModel::setPicture(const PictureBoxId& name, const Bytes& bytes) {
  {
    std::lock_guard lock(mutex_);
    State* s = find(name);
    if (!s) return;
    s->picture = bytes;
  }
  notify({ChangeKind::Picture, std::string(name)});
}

// --- focus ---

std::string WindowModel::focus() const {
  std::lock_guard lock(mutex_);
  return focus_;
}

void WindowModel::setFocus(const ComponentId& name) {
  {
    std::lock_guard lock(mutex_);
    if (!find(name)) return;
    focus_ = std::string(name);
  }
  notify({ChangeKind::Focus, std::string(name)});
}

// --- tab control ---

int WindowModel::currentTab(const TabControlId& name) const {
  std::lock_guard lock(mutex_);
  const State* s = find(name);
  return s ? s->currentTab : -1;
}

void WindowModel::setCurrentTab(const TabControlId& name, int tab) {
  {
    std::lock_guard lock(mutex_);
    State* s = find(name);
    if (!s || tab < 0 || tab >= static_cast<int>(s->tabVisible.size()) || s->currentTab == tab) {
      return;
    }
    s->currentTab = tab;
  }
  notify({ChangeKind::CurrentTab, std::string(name), tab});
  fireChange(name, EventKind::TabChanged, tab);
}

bool WindowModel::tabVisible(const TabControlId& name, int tab) const {
  std::lock_guard lock(mutex_);
  const State* s = find(name);
  return s && tab >= 0 && tab < static_cast<int>(s->tabVisible.size()) && s->tabVisible[tab];
}

void WindowModel::setTabVisible(const TabControlId& name, int tab, bool visible) {
  {
    std::lock_guard lock(mutex_);
    State* s = find(name);
    if (!s || tab < 0 || tab >= static_cast<int>(s->tabVisible.size()) ||
        s->tabVisible[tab] == visible) {
      return;
    }
    s->tabVisible[tab] = visible;
  }
  notify({ChangeKind::TabVisible, std::string(name), tab});
}

// --- status bar ---

Text WindowModel::statusPart(const StatusBarId& name, int part) const {
  std::lock_guard lock(mutex_);
  const State* s = find(name);
  if (!s || part < 0 || part >= static_cast<int>(s->parts.size())) return {};
  return s->parts[part];
}

void WindowModel::setStatusPart(const StatusBarId& name, int part, const Text& text) {
  {
    std::lock_guard lock(mutex_);
    State* s = find(name);
    if (!s || part < 0 || part >= static_cast<int>(s->parts.size())) return;
    if (s->parts[part] == text) return;
    s->parts[part] = text;
  }
  notify({ChangeKind::StatusPart, std::string(name), part});
}

// --- timer ---

int WindowModel::timerInterval(const TimerId& name) const {
  std::lock_guard lock(mutex_);
  const State* s = find(name);
  return s ? s->interval : 0;
}

void WindowModel::setTimerInterval(const TimerId& name, int milliseconds) {
  {
    std::lock_guard lock(mutex_);
    State* s = find(name);
    if (!s) return;
    s->interval = std::max(0, milliseconds);
  }
  notify({ChangeKind::TimerInterval, std::string(name)});
}

// --- report list ---

int WindowModel::rowCount(const ReportListId& name) const {
  std::lock_guard lock(mutex_);
  const State* s = find(name);
  return s ? static_cast<int>(s->rows.size()) : 0;
}

ListShape WindowModel::listShape(const ReportListId& name) const {
  std::lock_guard lock(mutex_);
  const State* s = find(name);
  return s ? ListShape{static_cast<int>(s->rows.size()), s->resets} : ListShape{};
}

int WindowModel::appendRow(const ReportListId& name, Row cells) {
  int index;
  {
    std::lock_guard lock(mutex_);
    State* s = find(name);
    if (!s) return -1;
    cells.resize(std::max(cells.size(), s->layout->columns.size()));
    s->rows.push_back(std::move(cells));
    index = static_cast<int>(s->rows.size()) - 1;
  }
  notify({ChangeKind::RowsAppended, std::string(name), index});
  return index;
}

Text WindowModel::cell(const ReportListId& name, int row, int column) const {
  std::lock_guard lock(mutex_);
  const State* s = find(name);
  if (!s || row < 0 || row >= static_cast<int>(s->rows.size())) return {};
  const Row& r = s->rows[row];
  return column >= 0 && column < static_cast<int>(r.size()) ? r[column] : Text();
}

Row WindowModel::row(const ReportListId& name, int row) const {
  std::lock_guard lock(mutex_);
  const State* s = find(name);
  if (!s || row < 0 || row >= static_cast<int>(s->rows.size())) return {};
  return s->rows[row];
}

void WindowModel::setCell(const ReportListId& name, int row, int column, const Text& text) {
  {
    std::lock_guard lock(mutex_);
    State* s = find(name);
    if (!s || row < 0 || row >= static_cast<int>(s->rows.size()) || column < 0) return;
    Row& r = s->rows[row];
    if (column >= static_cast<int>(r.size())) r.resize(column + 1);
    r[column] = text;
  }
  notify({ChangeKind::CellChanged, std::string(name), row});
}

void WindowModel::replaceRows(const ReportListId& name, std::vector<Row> rows) {
  {
    std::lock_guard lock(mutex_);
    State* s = find(name);
    if (!s) return;
    s->rows = std::move(rows);
    ++s->resets;
  }
  notify({ChangeKind::RowsReset, std::string(name)});
}

void WindowModel::reorderRows(const ReportListId& name, const std::vector<int>& order,
                              std::size_t fixedColumns) {
  {
    std::lock_guard lock(mutex_);
    State* s = find(name);
    const std::size_t n = s ? s->rows.size() : 0;
    if (!s || order.size() != n) return;
    std::vector<char> seen(n, 0);
    for (int from : order) {
      if (from < 0 || static_cast<std::size_t>(from) >= n || seen[from]) return;
      seen[from] = 1;
    }
    std::vector<Row> rows(n);
    for (std::size_t p = 0; p < n; ++p) rows[p] = std::move(s->rows[order[p]]);
    // The fixed cells of the row now at p belong to position order[p].
    std::vector<Text> fixed(n * fixedColumns);
    for (std::size_t p = 0; p < n; ++p) {
      for (std::size_t c = 0; c < fixedColumns && c < rows[p].size(); ++c) {
        fixed[order[p] * fixedColumns + c] = std::move(rows[p][c]);
      }
    }
    for (std::size_t p = 0; p < n; ++p) {
      for (std::size_t c = 0; c < fixedColumns && c < rows[p].size(); ++c) {
        rows[p][c] = std::move(fixed[p * fixedColumns + c]);
      }
    }
    s->rows = std::move(rows);
    ++s->resets;
  }
  notify({ChangeKind::RowsReset, std::string(name)});
}

void WindowModel::clearRows(const ReportListId& name) {
  {
    std::lock_guard lock(mutex_);
    State* s = find(name);
    if (!s) return;
    s->rows.clear();
    s->selected = -1;
    s->selection.clear();
    s->scrolled = -1;
    ++s->resets;
  }
  notify({ChangeKind::RowsReset, std::string(name)});
}

int WindowModel::selectedRow(const ReportListId& name) const {
  std::lock_guard lock(mutex_);
  const State* s = find(name);
  return s ? s->selected : -1;
}

void WindowModel::selectRow(const ReportListId& name, int row) { selectRows(name, {row}, row); }

std::vector<int> WindowModel::selectedRows(const ReportListId& name) const {
  std::lock_guard lock(mutex_);
  const State* s = find(name);
  return s ? s->selection : std::vector<int>();
}

void WindowModel::selectRows(const ReportListId& name, std::vector<int> rows, int current) {
  std::lock_guard lock(mutex_);
  State* s = find(name);
  if (!s) return;
  const int count = static_cast<int>(s->rows.size());
  std::erase_if(rows, [count](int row) { return row < 0 || row >= count; });
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  bool among = std::binary_search(rows.begin(), rows.end(), current);
  s->selected = among ? current : rows.empty() ? -1 : rows.front();
  s->selection = std::move(rows);
}

void WindowModel::scrollToRow(const ReportListId& name, int row) {
  {
    std::lock_guard lock(mutex_);
    State* s = find(name);
    if (!s || row < 0 || row >= static_cast<int>(s->rows.size())) return;
    s->scrolled = row;
  }
  notify({ChangeKind::ScrollToRow, std::string(name), row});
}

int WindowModel::scrolledRow(const ReportListId& name) const {
  std::lock_guard lock(mutex_);
  const State* s = find(name);
  return s ? s->scrolled : -1;
}

void WindowModel::lockUpdates(const ReportListId& name, bool locked) {
  {
    std::lock_guard lock(mutex_);
    State* s = find(name);
    if (!s || s->locked == locked) return;
    s->locked = locked;
  }
  notify({ChangeKind::UpdatesLocked, std::string(name)});
}

bool WindowModel::updatesLocked(const ReportListId& name) const {
  std::lock_guard lock(mutex_);
  const State* s = find(name);
  return s && s->locked;
}

// --- events ---

void WindowModel::on(const ComponentId& component, EventKind kind, EventHandler handler) {
  {
    std::lock_guard lock(mutex_);
    if (!find(component)) return;
  }
  std::lock_guard lock(bindingsMutex_);
  bindings_.push_back({std::string(component.name()), kind, std::move(handler)});
}

void WindowModel::on(const WindowId& window, EventKind kind, EventHandler handler) {
  if (window != layout_.name) {
    std::fprintf(stderr, "quenbo: window %s is not window %.*s\n", layout_.name.c_str(),
                 static_cast<int>(window.name().size()), window.name().data());
    assert(!"a window handle names another window");
    return;
  }
  std::lock_guard lock(bindingsMutex_);
  bindings_.push_back({layout_.name, kind, std::move(handler)});
}

void WindowModel::on(const MenuId& menu, EventKind kind, EventHandler handler) {
  if (!layout_.findMenu(std::string(menu.name()))) {
    std::fprintf(stderr, "quenbo: window %s has no menu named %.*s\n", layout_.name.c_str(),
                 static_cast<int>(menu.name().size()), menu.name().data());
    assert(!"a menu handle names no menu of this window");
    return;
  }
  std::lock_guard lock(bindingsMutex_);
  bindings_.push_back({std::string(menu.name()), kind, std::move(handler)});
}

void WindowModel::fire(const Event& event) {
  assertOnUiThread();
  if (event.kind != EventKind::Destroying && destroyed()) return;
  std::vector<EventHandler> handlers;
  {
    std::lock_guard lock(bindingsMutex_);
    for (const auto& binding : bindings_) {
      if (binding.kind == event.kind && binding.component == event.component) {
        handlers.push_back(binding.handler);
      }
    }
  }
  for (const auto& handler : handlers) handler(event);
}

void WindowModel::addObserver(ModelObserver* observer) {
  std::lock_guard lock(bindingsMutex_);
  observers_.push_back(std::make_shared<Observing>(observer));
}

void WindowModel::removeObserver(ModelObserver* observer) {
  std::unique_lock lock(bindingsMutex_);
  std::vector<std::shared_ptr<Observing>> leaving;
  std::erase_if(observers_, [&](const std::shared_ptr<Observing>& o) {
    if (o->observer != observer) return false;
    o->removed = true;
    leaving.push_back(o);
    return true;
  });
  // A call on this thread is the observer removing itself; calls on others end first.
  const std::thread::id self = std::this_thread::get_id();
  callEnded_.wait(lock, [&] {
    return std::ranges::all_of(leaving, [&](const std::shared_ptr<Observing>& o) {
      return std::ranges::all_of(o->callers, [&](std::thread::id t) { return t == self; });
    });
  });
}

}  // namespace quenbo::window
