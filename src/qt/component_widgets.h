// Widgets for the component kinds Qt has no exact match for: the picture box, the tab
// control with pages laid out in the tab control's own coordinates, the status bar with
// fixed parts, and the typing rule of integer boxes.
#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QPixmap>
#include <QValidator>
#include <QWidget>
#include <vector>

#include "window/component.h"

class QLineEdit;
class QStackedWidget;
class QTabBar;

namespace quenbo::qt {

// A container that shows a picture stretched over its area.
class PictureBox final : public QWidget {
 public:
  explicit PictureBox(QWidget* parent = nullptr);
  // Encoded image bytes (PNG, JPEG, ...); empty or undecodable bytes show no picture.
  void setPicture(const QByteArray& bytes);
  bool hasPicture() const { return !picture_.isNull(); }
  // A framed box shows a light frame while it has no picture (an empty film tile).
  void setFramed(bool framed) { framed_ = framed; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap picture_;
  bool framed_ = false;
};

// A label whose lines, when there are more than its height holds at the font's spacing,
// are drawn closer together so that every line stays visible.
class TextLabel final : public QLabel {
 public:
  using QLabel::QLabel;
  // A label on a picture draws its text light on a translucent dark band, and nothing at
  // all while its caption is empty.
  void setOverPicture(bool over);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool overPicture_ = false;
};

// A multi-line box that can show a caption in a strip of its own above the text.
class TextBox final : public QPlainTextEdit {
 public:
  explicit TextBox(QWidget* parent = nullptr);
  void setCaption(const QString& caption);
  QString caption() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QLabel* caption_;
};

// A tab bar over stacked pages. Every page covers the tab control below the bar, so a
// component at (left, top) of the tab control sits at (left, top - kPageTop) of its page.
class TabControl final : public QWidget {
 public:
  static constexpr int kPageTop = 23;

  TabControl(const std::vector<window::TabTemplate>& tabs, QWidget* parent = nullptr);
  QTabBar* tabBar() const { return bar_; }
  QWidget* page(int index) const;
  void showPage(int index);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QTabBar* bar_;
  QStackedWidget* pages_;
};

// Status-bar parts side by side, each with its own width.
class StatusBar final : public QWidget {
 public:
  StatusBar(const std::vector<window::StatusPartTemplate>& parts, QWidget* parent = nullptr);
  void setPart(int index, const QString& text);
  QString part(int index) const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  std::vector<QLabel*> parts_;
  std::vector<int> designedRights_;  // the right edge of each part in the form
};

// Whether a box may go from `before` to `after` by the user's typing or pasting: an integer
// box takes no new characters other than 0-9 and "-", and a box with a limit does not grow
// beyond it. Deleting is always allowed, even from a longer text the system put there.
bool typingAllowed(const window::EditStyle& style, const QString& before, const QString& after);

// The typing rule as a line-edit validator. Texts set by the system bypass it. The box
// hands the validator its text after the edit, so the text before it is kept here.
class TypingValidator final : public QValidator {
 public:
  TypingValidator(window::EditStyle style, QLineEdit* box);
  State validate(QString& input, int& position) const override;

 private:
  window::EditStyle style_;
  QString accepted_;  // the box's text before the edit under validation
};

}  // namespace quenbo::qt
