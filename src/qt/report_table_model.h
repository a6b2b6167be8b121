// The rows of a report list as Qt sees them. The cells live in the window model only; this
// model announces rows to the view in batches and reads every cell from there on demand.
#pragma once

#include <QAbstractTableModel>
#include <atomic>
#include <cstdint>
#include <string>

#include "window/window_model.h"

namespace quenbo::qt {

class ReportTableModel final : public QAbstractTableModel {
 public:
  ReportTableModel(const window::WindowModel& model, window::ReportListId list,
                   QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // GUI thread. Catches up with the window model: rows appended since the last call are
  // inserted as one batch; a deletion or rewrite since then resets the view.
  void refresh();
  // GUI thread. Cells of announced rows changed: the view re-reads what it shows.
  void cellsChanged();

  // Reads of a row the window model no longer had (the view asked between a deletion and
  // the refresh that follows it). They show as empty cells.
  int missingRowReads() const { return missingRowReads_; }

 private:
  const window::WindowModel& model_;
  const window::ReportListId list_;
  const int columns_;
  int announcedRows_ = 0;
  std::uint64_t announcedResets_ = 0;
  mutable std::atomic<int> missingRowReads_{0};
};

}  // namespace quenbo::qt
