// One window of the window model drawn as Qt widgets. It builds every component from the
// window's template, writes each change of the model into its widget on the GUI thread, and
// turns what the user does into the model's events.
#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "qt/qt_loop.h"
#include "window/window_model.h"

class QTimer;
class QTreeView;

namespace quenbo::qt {

class ReportTableModel;

class WindowView final : public QWidget, private window::ModelObserver {
 public:
  // GUI thread. The model must outlive the view.
  WindowView(window::WindowModel& model, QtLoop& loop);
  ~WindowView() override;
  WindowView(const WindowView&) = delete;
  WindowView& operator=(const WindowView&) = delete;

  window::WindowModel& model() { return model_; }
  // The widget of a component; null for unknown names and for timers and dialogs.
  QWidget* widget(std::string_view name) const;
  // The rows behind a report list, and a timer component's timer; null for other names.
  ReportTableModel* table(std::string_view name) const;
  QTimer* timer(std::string_view name) const;

  // What the window's close button does; without a handler it destroys the model (whose
  // about-to-be-destroyed handlers run first). The window goes only once the model is gone.
  void setCloseHandler(std::function<void()> handler) { closeHandler_ = std::move(handler); }
  // A resizable window has its form's size as its minimum and starting size; its
  // components follow a larger window by the stretch rules. Otherwise its size is fixed.
  void setResizable(bool resizable);

  // Whether a close hides the window at once instead of keeping it up until the model is
  // gone: the user sees the window go whatever the shutdown still waits for.
  void setHideWhileClosing(bool hide) { hideWhileClosing_ = hide; }
  // Called once the model is destroyed and the window has closed.
  void setGoneHandler(std::function<void()> handler) { goneHandler_ = std::move(handler); }

  // GUI thread: writes every change still waiting into the widgets now.
  void flush();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Part {
    const window::ComponentTemplate* layout = nullptr;
    QWidget* widget = nullptr;
    QTimer* timer = nullptr;
    ReportTableModel* table = nullptr;
    // Multi-line boxes: what the box shows, so appended text is added as a tail.
    std::uint64_t shownReplacements = UINT64_MAX;
    std::size_t shownBytes = 0;
  };
  using PendingKey = std::tuple<int, std::string, int>;

  // Building (window_view.cpp).
  void build();
  void place(Part& part);
  // A component's place in its container now: its form geometry moved and grown by its
  // share of the container's growth.
  window::Geometry stretchedGeometry(const Part& part) const;
  // How much wider and higher than in the form a component is now.
  QSize growth(const Part& part) const;
  static void widenColumns(QTreeView& view, const window::ComponentTemplate& list);
  void loadState(Part& part);
  Part* find(std::string_view name);
  const Part* find(std::string_view name) const;

  // Model to widgets (window_view.cpp). modelChanged runs on any thread.
  void modelChanged(const window::WindowModel& model, const window::Change& change) override;
  void apply(const window::Change& change);
  void applyText(Part& part);
  // The text of a component that has one (content or caption); empty for the others.
  Text textOf(const Part& part) const;
  void applyMultiLineText(Part& part);
  void applyList(Part& part, window::ChangeKind kind);
  void applyWindowVisible();
  void applyDestroyed();

  // Widgets to model (window_view_input.cpp).
  void connectInput(Part& part);
  void connectReportList(Part& part, QTreeView& view);
  bool filterKey(const Part& part, QEvent* event);
  bool filterListKey(const Part& part, QEvent* event);
  void syncSelection(QTreeView& view, const window::ReportListId& name, int current = -1);
  bool filterMouse(const Part& part, QEvent* event);

  window::WindowModel& model_;
  QtLoop& loop_;
  QSize designedSize_;  // the client area as designed
  std::unordered_map<std::string, Part> parts_;
  std::unordered_map<const QObject*, Part*> partOfWidget_;
  std::function<void()> closeHandler_;
  std::function<void()> goneHandler_;

  // Changes wait here until the GUI thread writes them into the widgets: one flush per
  // turn of the event loop however many changes arrived (thousands of rows, log lines and
  // status texts during a search).
  std::mutex pendingMutex_;  // guards pending_, pendingKeys_ and flushPosted_; any thread
  std::vector<window::Change> pending_;
  std::set<PendingKey> pendingKeys_;
  bool flushPosted_ = false;
  // Posted flushes hold a weak reference: one that runs after the view is gone does nothing.
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);

  bool applying_ = false;  // GUI thread: model state is being written into a widget
  bool closing_ = false;   // GUI thread: a close was requested and is under way
  bool hideWhileClosing_ = false;  // GUI thread
  bool gone_ = false;      // GUI thread: the model is destroyed, the window may close
};

}  // namespace quenbo::qt
