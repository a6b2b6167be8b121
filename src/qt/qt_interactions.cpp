#include "qt/qt_interactions.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QSpacerItem>
#include <QTimer>
#include <QUrl>
#include <algorithm>

#include "core/completion_sound.h"
#include "qt/qt_text.h"

namespace quenbo::qt {

using window::MessageAnswer;
using window::MessageButtons;
using window::MessageIcon;

void buildPopupMenu(const window::MenuTemplate& layout, QMenu& menu) {
  auto addItem = [](QMenu& to, const window::MenuItemTemplate& item) {
    if (item.separator()) {
      to.addSeparator();
    } else {
      to.addAction(toQString(item.caption))->setData(QString::fromStdString(item.name));
    }
  };
  const auto& items = layout.items;
  const window::MenuItemTemplate* owner = nullptr;  // the level-1 item of the next submenu
  QMenu* submenu = nullptr;  // made when its first shown item comes, so an empty one never shows
  for (std::size_t i = 0; i < items.size(); ++i) {
    const auto& item = items[i];
    if (item.level <= 1) {
      owner = &item;
      submenu = nullptr;
      bool opensSubmenu = i + 1 < items.size() && items[i + 1].level > 1;
      if (item.visible && !opensSubmenu) addItem(menu, item);
      continue;
    }
    if (!owner || !owner->visible || !item.visible) continue;
    if (!submenu) submenu = menu.addMenu(toQString(owner->caption));
    addItem(*submenu, item);
  }
}

QString nameFilterFor(const QString& label) {
  static const QRegularExpression patterns(QStringLiteral("[(（]([^()（）]*)[)）]"));
  QString found;
  auto it = patterns.globalMatch(label);
  while (it.hasNext()) found = it.next().captured(1).trimmed();
  found.replace(QLatin1Char(';'), QLatin1Char(' '));
  if (found.isEmpty()) found = QStringLiteral("*");
  return label + QStringLiteral(" (") + found + QLatin1Char(')');
}

void keepTitleVisible(QMessageBox& box) {
  // The window manager draws the title in its own, often larger, font beside its buttons; a
  // box as narrow as its short text would cut the title off.
  constexpr int kTitleBarButtons = 140;
  QFont titleFont = box.font();
  titleFont.setPixelSize(std::max(titleFont.pixelSize(), 0) * 3 / 2);
  int needed = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kTitleBarButtons;
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    grid->addItem(new QSpacerItem(needed, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                  grid->rowCount(), 0, 1, grid->columnCount());
  }
}

QtInteractions::QtInteractions(window::UiLoop& loop)
    : loop_(loop), launcher_([](const QString& program, const QStringList& arguments) {
        return QProcess::startDetached(program, arguments);
      }),
      clipMaker_([] { (void)core::completionSound(); }) {}

QtInteractions::~QtInteractions() {
  clipMaker_.join();
}

void QtInteractions::onGui(const std::function<void()>& task, bool wait) {
  if (loop_.onUiThread()) {
    task();
  } else if (wait) {
    loop_.runOnUiThread(task);
  } else {
    loop_.post(task);
  }
}

MessageAnswer QtInteractions::messageBox(const Text& text, const Text& title,
                                         MessageButtons buttons, MessageIcon icon) {
  MessageAnswer answer = MessageAnswer::Ok;
  onGui(
      [&] {
        QMessageBox box(parent_);
        box.setWindowTitle(toQString(title.empty() ? window::defaultMessageTitle() : title));
        box.setText(toDisplayLines(text));
        box.setIcon(icon == MessageIcon::Information ? QMessageBox::Information
                    : icon == MessageIcon::Error     ? QMessageBox::Critical
                                                     : QMessageBox::NoIcon);
        if (buttons == MessageButtons::YesNo) {
          box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
          box.setDefaultButton(QMessageBox::Yes);
        } else {
          box.setStandardButtons(QMessageBox::Ok);
        }
        keepTitleVisible(box);
        int chosen = box.exec();
        answer = buttons == MessageButtons::Ok ? MessageAnswer::Ok
                 : chosen == QMessageBox::Yes  ? MessageAnswer::Yes
                                               : MessageAnswer::No;
      },
      true);
  return answer;
}

void QtInteractions::beep() {
  onGui([] { QApplication::beep(); }, false);
}

std::optional<std::filesystem::path> QtInteractions::saveFileDialog(const Text& filter) {
  std::optional<std::filesystem::path> chosen;
  onGui(
      [&] {
        // Shown with the label as written; matched by the patterns inside the label.
        QString path = QFileDialog::getSaveFileName(parent_, QString(), QString(),
                                                    nameFilterFor(toQString(filter)), nullptr,
                                                    QFileDialog::HideNameFilterDetails);
        // The file system's own bytes: GBK cannot hold every name a user may pick.
        if (!path.isEmpty()) chosen = std::filesystem::path(QFile::encodeName(path).toStdString());
      },
      true);
  return chosen;
}

std::optional<std::string> QtInteractions::popupMenu(const window::MenuTemplate& layout) {
  std::optional<std::string> chosen;
  onGui(
      [&] {
        QMenu menu(parent_);
        buildPopupMenu(layout, menu);
        if (QAction* action = menu.exec(QCursor::pos())) {
          QString name = action->data().toString();
          if (!name.isEmpty()) chosen = name.toStdString();
        }
      },
      true);
  return chosen;
}

void QtInteractions::setClipboardText(const Text& text) {
  onGui([text] { QGuiApplication::clipboard()->setText(toQString(text)); }, false);
}

void QtInteractions::openUrl(const Text& url) {
  if (!window::isOpenableLink(url)) return;
  onGui(
      [this, url] {
        QString link = toQString(url);
        // The link goes to the desktop's opener as one argument, never through a shell.
        if (!launcher_(QStringLiteral("xdg-open"), {link})) {
          QDesktopServices::openUrl(QUrl(link, QUrl::TolerantMode));
        }
      },
      false);
}

void QtInteractions::playSound(const Bytes& wave) {
  // A moment later: the window first paints what changed with the sound (the end of a
  // search in the status bar), since the first use of the audio device can take a while.
  onGui(
      [this, wave] {
        QTimer::singleShot(std::chrono::milliseconds(30), &sound_,
                           [this, wave] { sound_.play(wave); });
      },
      false);
}

}  // namespace quenbo::qt
