// What needs a person or the desktop: message boxes, beeps, the save dialog, the popup menu,
// the clipboard, opening links, sound. Each front-end implements it; the headless one records
// every call and answers from a script.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "base/text.h"
#include "window/component.h"

namespace quenbo::window {

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Information, Error };
enum class MessageAnswer { Ok, Yes, No };

// The title a message box gets when the caller names none.
Text defaultMessageTitle();  // "信息："

class Interactions {
 public:
  virtual ~Interactions() = default;

  // All of these are called on the UI thread; a worker posts to the UI loop first.
  virtual MessageAnswer messageBox(const Text& text, const Text& title, MessageButtons buttons,
                                   MessageIcon icon) = 0;
  virtual void beep() = 0;
  // Returns the chosen file's path as the file system names it, or nothing when the user
  // cancels. `filter` is the single file-type entry, for example "文本文件（*.txt）".
  virtual std::optional<std::filesystem::path> saveFileDialog(const Text& filter) = 0;
  // Shows the menu at the mouse position; returns the chosen item's name, or nothing.
  // Hidden items are never shown.
  virtual std::optional<std::string> popupMenu(const MenuTemplate& menu) = 0;
  virtual void setClipboardText(const Text& text) = 0;
  // Hands a URL or magnet link to the desktop. Front-ends pass on only texts that start
  // with "magnet:", "http://" or "https://".
  virtual void openUrl(const Text& url) = 0;
  // Starts playing a RIFF/WAVE clip held in memory and returns at once.
  virtual void playSound(const Bytes& wave) = 0;
  // Whether playSound can be heard at all; a command line has nobody listening.
  virtual bool playsSound() const { return true; }
};

// Whether a text may be handed to the desktop's URL opener.
bool isOpenableLink(const Text& url);

}  // namespace quenbo::window
