// The hosts editor: every key of the hosts files with its value and the file it comes from,
// checked as it is typed, saved into the user's hosts file. A "测试" button per site row runs
// a check of that site on a thread of its own, so the dialog never waits for the network;
// closing the dialog ends the checks under way.
#pragma once

#include <QDialog>
#include <QPointer>
#include <atomic>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include "base/stop_bell.h"
#include "base/text.h"
#include "base/worker_threads.h"
#include "sites/hosts_editing.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace quenbo::qt {

// Checks one site with the given hosts and returns its verdict (GBK). Runs on a thread of
// its own, so it may use nothing but its arguments; it must come back within the time-out,
// and at once when `stop` turns true (`stopBell` rings then).
using SiteChecker = std::function<Text(const sites::SiteHosts& hosts, int site, int timeoutSeconds,
                                       const std::atomic<bool>& stop, StopBell& stopBell)>;

// The check the "测试" buttons run: page 1 of the site searched for the check keyword; the
// verdict with its reason, hits, time and host.
Text checkPageOne(const sites::SiteHosts& hosts, int site, int timeoutSeconds,
                  const std::atomic<bool>& stop, StopBell& stopBell);

class HostsEditorDialog final : public QDialog {
  Q_OBJECT

 public:
  // Columns of the table.
  enum Column { kKey, kSites, kValue, kSource, kVerdict, kTest, kColumns };

  // `checker` empty: no "测试" buttons; `checkTimeout` is asked on the GUI thread as a check
  // starts. `saved` runs after a save succeeded (GUI thread).
  HostsEditorDialog(sites::HostsEditing editing, SiteChecker checker, std::function<int()> checkTimeout,
                    std::function<void()> saved, QWidget* parent = nullptr);
  ~HostsEditorDialog() override;
  HostsEditorDialog(const HostsEditorDialog&) = delete;
  HostsEditorDialog& operator=(const HostsEditorDialog&) = delete;

  const sites::HostsEditing& editing() const { return editing_; }
  QTableWidget* table() const { return table_; }
  QLineEdit* valueBox(int row) const;
  QPushButton* testButton(int row) const;
  QPushButton* saveButton() const { return save_; }
  QLabel* message() const { return message_; }

 private:
  // GUI thread: shows the verdicts check threads have handed over.
  Q_INVOKABLE void takeVerdicts();
  void fill();
  void valueEdited(int row, const QString& text);
  void showProblem(int row);
  void updateSaveButton();
  void saveNow();
  void startCheck(int row);

  sites::HostsEditing editing_;       // GUI thread
  SiteChecker checker_;
  std::function<int()> checkTimeout_;
  std::function<void()> saved_;
  QTableWidget* table_;
  QPushButton* save_;
  QLabel* message_;
  std::mutex verdictsMutex_;  // guards verdicts_
  std::vector<std::pair<int, Text>> verdicts_;  // row and verdict, handed over by the checks
  // Last: the checks use the members above. Closing the dialog ends and joins them.
  WorkerThreads checks_;
};

// Opens the hosts editor of the running program, one at a time: a second request raises
// the open one. GUI thread.
class HostsEditorLauncher final {
 public:
  // `files` gives the hosts files in the program's order when the editor opens; `saved`
  // runs after each save.
  HostsEditorLauncher(std::function<std::vector<sites::HostsFile>()> files, SiteChecker checker,
                      std::function<int()> checkTimeout, std::function<void()> saved,
                      QWidget* parent);
  void open();
  HostsEditorDialog* dialog() const { return dialog_; }

 private:
  std::function<std::vector<sites::HostsFile>()> files_;
  SiteChecker checker_;
  std::function<int()> checkTimeout_;
  std::function<void()> saved_;
  QWidget* parent_;
  QPointer<HostsEditorDialog> dialog_;
};

}  // namespace quenbo::qt
