// Interactions without a person: every call is recorded, and the answers come from a script
// the test (or the command-line front-end) sets up beforehand.
#pragma once

#include <atomic>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "window/interactions.h"

namespace quenbo::window {

struct RecordedMessage {
  Text text;
  Text title;
  MessageButtons buttons;
  MessageIcon icon;
};

class HeadlessInteractions final : public Interactions {
 public:
  MessageAnswer messageBox(const Text& text, const Text& title, MessageButtons buttons,
                           MessageIcon icon) override;
  void beep() override;
  std::optional<std::filesystem::path> saveFileDialog(const Text& filter) override;
  std::optional<std::string> popupMenu(const MenuTemplate& menu) override;
  void setClipboardText(const Text& text) override;
  void openUrl(const Text& url) override;
  void playSound(const Bytes& wave) override;
  bool playsSound() const override { return playsSound_; }
  // As a front-end with nobody listening (the command line) would answer.
  void setPlaysSound(bool plays) { playsSound_ = plays; }

  // The script: answers handed out in order. Without one, a message box answers OK (or
  // No), the save dialog is cancelled and the menu is dismissed.
  void answerMessage(MessageAnswer answer);
  void answerSaveDialog(std::optional<std::filesystem::path> path);
  void answerMenu(std::optional<std::string> item);

  // What happened.
  std::vector<RecordedMessage> messages() const;
  int beeps() const;
  std::vector<Text> saveDialogFilters() const;
  // The items each popup showed (hidden ones are never shown).
  std::vector<std::vector<std::string>> shownMenus() const;
  Text clipboard() const;
  std::vector<Text> openedUrls() const;
  std::vector<Bytes> playedSounds() const;

 private:
  mutable std::mutex mutex_;  // guards everything below: calls may come from any thread
  std::deque<MessageAnswer> messageAnswers_;
  std::deque<std::optional<std::filesystem::path>> saveAnswers_;
  std::deque<std::optional<std::string>> menuAnswers_;
  std::vector<RecordedMessage> messages_;
  int beeps_ = 0;
  std::vector<Text> saveFilters_;
  std::vector<std::vector<std::string>> menus_;
  Text clipboard_;
  std::vector<Text> urls_;
  std::vector<Bytes> sounds_;
  std::atomic<bool> playsSound_{true};  // set by the test, read on the UI thread
};

}  // namespace quenbo::window
