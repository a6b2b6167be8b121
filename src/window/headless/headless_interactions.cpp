#include "window/headless/headless_interactions.h"

namespace quenbo::window {

MessageAnswer HeadlessInteractions::messageBox(const Text& text, const Text& title,
                                               MessageButtons buttons, MessageIcon icon) {
  std::lock_guard lock(mutex_);
  messages_.push_back({text, title, buttons, icon});
  if (!messageAnswers_.empty()) {
    MessageAnswer answer = messageAnswers_.front();
    messageAnswers_.pop_front();
    return answer;
  }
  return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
}

void HeadlessInteractions::beep() {
  std::lock_guard lock(mutex_);
  ++beeps_;
}

std::optional<std::filesystem::path> HeadlessInteractions::saveFileDialog(const Text& filter) {
  std::lock_guard lock(mutex_);
  saveFilters_.push_back(filter);
  if (saveAnswers_.empty()) return std::nullopt;
  auto answer = saveAnswers_.front();
  saveAnswers_.pop_front();
  return answer;
}

std::optional<std::string> HeadlessInteractions::popupMenu(const MenuTemplate& menu) {
  std::lock_guard lock(mutex_);
  std::vector<std::string> shown;
  for (const auto& item : menu.items) {
    if (item.visible) shown.push_back(item.name);
  }
  menus_.push_back(shown);
  if (menuAnswers_.empty()) return std::nullopt;
  auto answer = menuAnswers_.front();
  menuAnswers_.pop_front();
  return answer;
}

void HeadlessInteractions::setClipboardText(const Text& text) {
  std::lock_guard lock(mutex_);
  clipboard_ = text;
}

void HeadlessInteractions::openUrl(const Text& url) {
  std::lock_guard lock(mutex_);
  if (isOpenableLink(url)) urls_.push_back(url);
}

void HeadlessInteractions::playSound(const Bytes& wave) {
  std::lock_guard lock(mutex_);
  sounds_.push_back(wave);
}

void HeadlessInteractions::answerMessage(MessageAnswer answer) {
  std::lock_guard lock(mutex_);
  messageAnswers_.push_back(answer);
}

void HeadlessInteractions::answerSaveDialog(std::optional<std::filesystem::path> path) {
  std::lock_guard lock(mutex_);
  saveAnswers_.push_back(std::move(path));
}

void HeadlessInteractions::answerMenu(std::optional<std::string> item) {
  std::lock_guard lock(mutex_);
  menuAnswers_.push_back(std::move(item));
}

std::vector<RecordedMessage> HeadlessInteractions::messages() const {
  std::lock_guard lock(mutex_);
  return messages_;
}

int HeadlessInteractions::beeps() const {
  std::lock_guard lock(mutex_);
  return beeps_;
}

std::vector<Text> HeadlessInteractions::saveDialogFilters() const {
  std::lock_guard lock(mutex_);
  return saveFilters_;
}

std::vector<std::vector<std::string>> HeadlessInteractions::shownMenus() const {
  std::lock_guard lock(mutex_);
  return menus_;
}

Text HeadlessInteractions::clipboard() const {
  std::lock_guard lock(mutex_);
  return clipboard_;
}

std::vector<Text> HeadlessInteractions::openedUrls() const {
  std::lock_guard lock(mutex_);
  return urls_;
}

std::vector<Bytes> HeadlessInteractions::playedSounds() const {
  std::lock_guard lock(mutex_);
  return sounds_;
}

}  // namespace quenbo::window
