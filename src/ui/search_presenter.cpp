#include "ui/search_presenter.h"

#include "base/encoding.h"
#include "core/completion_sound.h"
#include "forms/main_window_names.h"
#include "ui/search_controls.h"

namespace quenbo::ui {

using namespace forms::names;
using namespace std::chrono_literals;

SearchPresenter::SearchPresenter(window::WindowModel& window, window::UiLoop& loop,
                                 window::Interactions& interactions, core::SearchEngine& engine)
    : window_(window), loop_(loop), interactions_(interactions), engine_(engine) {}

SearchPresenter::~SearchPresenter() {
  if (current_) current_->view->detach();
  current_.reset();
  replaced_.clear();
}

int SearchPresenter::liveWorkers() const {
  int live = current_ ? current_->search->liveWorkers() : 0;
  for (const auto& shown : replaced_) live += shown->search->liveWorkers();
  return live;
}

void SearchPresenter::setRunningButtons(bool running) {
  window_.setEnabled(超级按钮_搜索, !running);
  window_.setEnabled(超级按钮_停止, running);
}

void SearchPresenter::dropEndedSearches() {
  std::erase_if(replaced_, [](const auto& shown) { return shown->search->liveWorkers() == 0; });
}

void SearchPresenter::start() {
  loop_.assertOnUiThread();
  if (window_.text(编辑框_搜索).empty()) {
    interactions_.beep();
    interactions_.messageBox("搜索内容不能为空"_gbk, window::defaultMessageTitle(),
                             window::MessageButtons::Ok, window::MessageIcon::None);
    window_.setFocus(编辑框_搜索);
    return;
  }
  // From here on nothing of the earlier search reaches the window.
  if (current_) {
    current_->view->detach();
    current_->search->stop();
    replaced_.push_back(std::move(current_));
  }
  dropEndedSearches();
  window_.setCurrentTab(高级选择夹1, kResultTab);
  window_.clearRows(超级列表框_磁力链接);
  window_.setText(编辑框_日志, {});
  setRunningButtons(true);

  current_ = std::make_unique<Shown>();
  current_->view = std::make_unique<SearchView>(
      window_, [this](const core::SearchSummary&) { finished(); });
  core::SearchRequest request = readSearchRequest(window_);
  request.pacing.monitorEvery = std::chrono::milliseconds(0);  // the window's timer drives it
  current_->search = engine_.newSearch(std::move(request), loop_, *current_->view);
  window_.setTimerInterval(时钟_线程, 100);
  current_->search->start();
}

void SearchPresenter::finished() {
  setRunningButtons(false);
  window_.setTimerInterval(时钟_线程, 0);
  // Last, so that the status bar never waits for it: the first use of the audio device can
  // take a while. Synthesising the clip costs time too; a front-end that cannot play it is
  // not handed one.
  if (interactions_.playsSound()) interactions_.playSound(core::completionSound());
  for (const auto& handler : finishedHandlers_) handler();
  dropEndedSearches();
}

void SearchPresenter::stop() {
  loop_.assertOnUiThread();
  window_.setStatusPart(状态条1, 0, "任务状态：停止中"_gbk);
  setRunningButtons(false);
  // The search ends at once, with its finished event from the loop.
  if (current_) current_->search->stop();
}

void SearchPresenter::windowDestroyed() {
  loop_.assertOnUiThread();
  window_.setStatusPart(状态条1, 0, "任务状态：销毁中"_gbk);
  if (current_) current_->search->stopAndFinish();
  const auto until = std::chrono::steady_clock::now() + kShutdownGrace;
  while (liveWorkers() > 0 && std::chrono::steady_clock::now() < until) loop_.waitProcessing(10ms);
}

void SearchPresenter::monitorTick() {
  if (current_) current_->search->monitorTick();
}

void SearchPresenter::refreshFilter() {
  if (current_) current_->search->setFilter(readFilterSettings(window_));
}

void SearchPresenter::rebuild() {
  if (current_) current_->search->rebuild(readFilterSettings(window_));
}

void SearchPresenter::sort(core::SortKey key) {
  if (current_) current_->search->sort(key);
}

std::vector<core::ResultRow> SearchPresenter::rows() const {
  return current_ ? current_->search->store().rows() : std::vector<core::ResultRow>{};
}

}  // namespace quenbo::ui
