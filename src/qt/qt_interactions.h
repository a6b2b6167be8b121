// What needs a person or the desktop, done with Qt: message boxes, the beep, the save
// dialog, the popup menu, the clipboard, opening links and the completion sound.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <thread>

#include "qt/sound_player.h"
#include "window/interactions.h"
#include "window/ui_loop.h"

class QMenu;
class QMessageBox;
class QWidget;

namespace quenbo::qt {

// Fills `menu` from the template: level-2 items go into the submenu of the level-1 item
// before them; hidden items and hidden separators are left out. Each action carries its
// item's name as data (UTF-8).
void buildPopupMenu(const window::MenuTemplate& layout, QMenu& menu);

// The save dialog's file-type entry: the label as written, for example
// "文本文件（*.txt）", followed by the patterns found inside its brackets, which Qt matches
// against the files ("*" when the label names none).
QString nameFilterFor(const QString& label);

// Makes the box at least as wide as its title needs beside the window manager's buttons.
void keepTitleVisible(QMessageBox& box);

class QtInteractions final : public window::Interactions {
 public:
  // Starts `program` with `arguments` and no shell; returns whether it started.
  using Launcher = std::function<bool(const QString& program, const QStringList& arguments)>;

  // Starts making the completion clip on a thread of its own: making it takes a while,
  // which must not hold the window at the end of the first search.
  explicit QtInteractions(window::UiLoop& loop);
  ~QtInteractions() override;
  QtInteractions(const QtInteractions&) = delete;
  QtInteractions& operator=(const QtInteractions&) = delete;

  // Dialogs are centred on this window. GUI thread.
  void setParentWindow(QWidget* window) { parent_ = window; }
  void setLauncher(Launcher launcher) { launcher_ = std::move(launcher); }
  const SoundPlayer& soundPlayer() const { return sound_; }

  window::MessageAnswer messageBox(const Text& text, const Text& title,
                                   window::MessageButtons buttons,
                                   window::MessageIcon icon) override;
  void beep() override;
  std::optional<std::filesystem::path> saveFileDialog(const Text& filter) override;
  std::optional<std::string> popupMenu(const window::MenuTemplate& menu) override;
  void setClipboardText(const Text& text) override;
  void openUrl(const Text& url) override;
  void playSound(const Bytes& wave) override;

 private:
  // Runs `task` on the GUI thread: waits for it, or (`wait` false) only queues it.
  void onGui(const std::function<void()>& task, bool wait);

  window::UiLoop& loop_;
  QWidget* parent_ = nullptr;
  Launcher launcher_;
  SoundPlayer sound_;
  std::thread clipMaker_;  // makes the clip once; joined by the destructor
};

}  // namespace quenbo::qt
