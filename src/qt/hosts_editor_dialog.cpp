#include "qt/hosts_editor_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "base/encoding.h"
#include "base/files.h"
#include "qt/qt_text.h"
#include "sites/site_check.h"

namespace quenbo::qt {

namespace {

QString utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QTableWidgetItem* readOnlyItem(const QString& text) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(item->flags() & ~Qt::ItemIsEditable);
  item->setToolTip(text);
  return item;
}

const QColor kProblemColour(0xc0, 0x39, 0x2b);

// The file name first, so a narrow column still tells the files apart; the whole path in
// the tooltip.
QTableWidgetItem* sourceItem(const std::filesystem::path& source) {
  if (source.empty()) return readOnlyItem(QStringLiteral("（无文件）"));
  auto* item = readOnlyItem(toQString(displayPath(source.filename())) + QStringLiteral("（") +
                            toQString(displayPath(source.parent_path())) + QStringLiteral("）"));
  item->setToolTip(toQString(displayPath(source)));
  return item;
}

}  // namespace

Text checkPageOne(const sites::SiteHosts& hosts, int site, int timeoutSeconds,
                  const std::atomic<bool>& stop, StopBell& stopBell) {
  sites::SiteCheck check =
      sites::checkSite(hosts, site, utf8ToGbk(sites::kCheckKeyword), timeoutSeconds, &stop, &stopBell);
  Text line = sites::siteVerdictText(check.verdict);
  if (!check.reason.empty() && check.reason != line) line += "（"_gbk + check.reason + "）"_gbk;
  const std::uint32_t tenths = (check.elapsedMs + 50) / 100;
  line += "，"_gbk + std::to_string(check.hits) + " 条，"_gbk + std::to_string(tenths / 10) + "." +
          std::to_string(tenths % 10) + " 秒"_gbk;
  if (!check.host.empty()) line += "，"_gbk + check.host;
  return line;
}

HostsEditorDialog::HostsEditorDialog(sites::HostsEditing editing, SiteChecker checker,
                                     std::function<int()> checkTimeout,
                                     std::function<void()> saved, QWidget* parent)
    : QDialog(parent),
      editing_(std::move(editing)),
      checker_(std::move(checker)),
      checkTimeout_(std::move(checkTimeout)),
      saved_(std::move(saved)),
      table_(new QTableWidget(this)),
      save_(new QPushButton(QStringLiteral("保存"), this)),
      message_(new QLabel(this)) {
  setWindowTitle(QStringLiteral("站点主机"));
  resize(1100, 600);

  auto* intro = new QLabel(this);
  intro->setWordWrap(true);
  intro->setText(
      QStringLiteral("每个站点的主机：主机或 主机:端口，不带 http:// 与路径（Skrbt 与更新服务带 "
                     "https://）；留空则不搜索该站点。保存的修改写入 %1，从下一次搜索起生效。")
          .arg(editing_.localFile().empty() ? QStringLiteral("（没有用户配置目录）")
                                            : toQString(displayPath(editing_.localFile()))));

  table_->setColumnCount(kColumns);
  table_->setHorizontalHeaderLabels({QStringLiteral("键"), QStringLiteral("站点"),
                                     QStringLiteral("值"), QStringLiteral("来源"),
                                     QStringLiteral("检查"), QString()});
  table_->verticalHeader()->setVisible(false);
  table_->setSelectionMode(QAbstractItemView::NoSelection);
  table_->setTextElideMode(Qt::ElideRight);
  table_->setWordWrap(false);
  table_->verticalHeader()->setDefaultSectionSize(26);
  QHeaderView* header = table_->horizontalHeader();
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  for (auto [column, width] : {std::pair{kKey, 130}, {kSites, 150}, {kValue, 190},
                               {kSource, 210}, {kVerdict, 300}, {kTest, 56}}) {
    header->resizeSection(column, width);
  }
  header->setStretchLastSection(false);
  header->setSectionResizeMode(kVerdict, QHeaderView::Stretch);

  auto* close = new QPushButton(QStringLiteral("关闭"), this);
  connect(save_, &QPushButton::clicked, this, [this] { saveNow(); });
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(message_, 1);
  buttons->addWidget(save_);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(intro);
  layout->addWidget(table_, 1);
  layout->addLayout(buttons);
  fill();
}

HostsEditorDialog::~HostsEditorDialog() {
  checks_.stopAndJoin();
}

QLineEdit* HostsEditorDialog::valueBox(int row) const {
  return qobject_cast<QLineEdit*>(table_->cellWidget(row, kValue));
}

QPushButton* HostsEditorDialog::testButton(int row) const {
  return qobject_cast<QPushButton*>(table_->cellWidget(row, kTest));
}

void HostsEditorDialog::fill() {
  const auto& rows = editing_.rows();
  table_->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const sites::HostsRow& row = rows[static_cast<std::size_t>(r)];
    table_->setItem(r, kKey, readOnlyItem(utf8("[" + row.section + "] " + row.key)));
    table_->setItem(r, kSites, readOnlyItem(toQString(row.sites)));
    auto* box = new QLineEdit(toQString(row.value), table_);
    box->setFrame(false);
    box->setPlaceholderText(QStringLiteral("（空：不使用）"));
    connect(box, &QLineEdit::textEdited, this,
            [this, r](const QString& text) { valueEdited(r, text); });
    table_->setCellWidget(r, kValue, box);
    table_->setItem(r, kSource, sourceItem(row.source));
    table_->setItem(r, kVerdict, readOnlyItem(QString()));
    if (checker_ && row.site >= 0) {
      auto* test = new QPushButton(QStringLiteral("测试"), table_);
      connect(test, &QPushButton::clicked, this, [this, r] { startCheck(r); });
      table_->setCellWidget(r, kTest, test);
    } else {
      table_->removeCellWidget(r, kTest);
    }
    showProblem(r);
  }
  updateSaveButton();
}

void HostsEditorDialog::valueEdited(int row, const QString& text) {
  editing_.setValue(static_cast<std::size_t>(row), toText(text.trimmed()));
  showProblem(row);
  updateSaveButton();
  message_->clear();
}

void HostsEditorDialog::showProblem(int row) {
  std::string problem = editing_.problem(static_cast<std::size_t>(row));
  QTableWidgetItem* verdict = table_->item(row, kVerdict);
  QLineEdit* box = valueBox(row);
  if (problem.empty()) {
    verdict->setText(QString());
    verdict->setToolTip(QString());
    if (box) box->setStyleSheet(QString());
    return;
  }
  QString text = QStringLiteral("不可用：") + utf8(problem);
  verdict->setText(text);
  verdict->setToolTip(text);
  verdict->setForeground(kProblemColour);
  if (box) box->setStyleSheet(QStringLiteral("color: #c0392b; background: #fdecea;"));
}

void HostsEditorDialog::updateSaveButton() {
  save_->setEnabled(editing_.edited() && editing_.savable());
}

void HostsEditorDialog::saveNow() {
  std::string error;
  if (!editing_.save(error)) {
    message_->setStyleSheet(QStringLiteral("color: #c0392b;"));
    message_->setText(QStringLiteral("保存失败：") + utf8(error));
    return;
  }
  fill();
  message_->setStyleSheet(QString());
  message_->setText(QStringLiteral("已保存，下一次搜索使用新的主机。"));
  if (saved_) saved_();
}

void HostsEditorDialog::startCheck(int row) {
  const sites::HostsRow& hostsRow = editing_.rows()[static_cast<std::size_t>(row)];
  QPushButton* button = testButton(row);
  if (!checker_ || hostsRow.site < 0 || !button) return;
  button->setEnabled(false);
  QTableWidgetItem* verdict = table_->item(row, kVerdict);
  verdict->setForeground(palette().text());
  verdict->setText(QStringLiteral("检查中…"));
  // The check sees the values as they stand, saved or not.
  const int timeout = checkTimeout_ ? checkTimeout_() : 10;
  checks_.start([this, checker = checker_, hosts = editing_.hosts(), site = hostsRow.site, row,
                 timeout] {
    Text result = checker(hosts, site, timeout, checks_.stopFlag(), checks_.bell());
    if (checks_.stopping()) return;  // the dialog is closing
    {
      std::lock_guard lock(verdictsMutex_);
      verdicts_.emplace_back(row, std::move(result));
    }
    // The dialog joins this thread before it is gone, so the call reaches a live dialog.
    QMetaObject::invokeMethod(this, "takeVerdicts", Qt::QueuedConnection);
  });
}

void HostsEditorDialog::takeVerdicts() {
  std::vector<std::pair<int, Text>> verdicts;
  {
    std::lock_guard lock(verdictsMutex_);
    verdicts.swap(verdicts_);
  }
  for (const auto& [row, text] : verdicts) {
    if (QTableWidgetItem* item = table_->item(row, kVerdict)) {
      item->setText(toQString(text));
      item->setToolTip(toQString(text));
    }
    if (QPushButton* test = testButton(row)) test->setEnabled(true);
  }
}

HostsEditorLauncher::HostsEditorLauncher(std::function<std::vector<sites::HostsFile>()> files,
                                         SiteChecker checker, std::function<int()> checkTimeout,
                                         std::function<void()> saved, QWidget* parent)
    : files_(std::move(files)),
      checker_(std::move(checker)),
      checkTimeout_(std::move(checkTimeout)),
      saved_(std::move(saved)),
      parent_(parent) {}

void HostsEditorLauncher::open() {
  if (!dialog_) {
    dialog_ = new HostsEditorDialog(sites::HostsEditing(files_(), sites::HostsEditing::userHostsFile()),
                                    checker_, checkTimeout_, saved_, parent_);
    dialog_->setAttribute(Qt::WA_DeleteOnClose);
  }
  dialog_->show();
  dialog_->raise();
  dialog_->activateWindow();
}

}  // namespace quenbo::qt
