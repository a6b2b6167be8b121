#include "qt/report_table_model.h"

#include "qt/qt_text.h"

namespace quenbo::qt {
namespace {

int columnCountOf(const window::WindowModel& model, const window::ReportListId& list) {
  const auto* layout = model.layout().find(std::string(list));
  return layout ? static_cast<int>(layout->columns.size()) : 0;
}

}  // namespace

ReportTableModel::ReportTableModel(const window::WindowModel& model, window::ReportListId list,
                                   QObject* parent)
    : QAbstractTableModel(parent),
      model_(model),
      list_(list),
      columns_(columnCountOf(model, list_)) {
  window::ListShape shape = model_.listShape(list_);
  announcedRows_ = shape.rows;
  announcedResets_ = shape.resets;
}

int ReportTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : announcedRows_;
}

int ReportTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : columns_;
}

QVariant ReportTableModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  if (!index.isValid() || index.row() >= announcedRows_ || index.column() >= columns_) return {};
  window::Row row = model_.row(list_, index.row());
  if (row.empty()) {
    ++missingRowReads_;
    return {};
  }
  if (index.column() >= static_cast<int>(row.size())) return {};
  const Text& cell = row[index.column()];
  if (cell.empty()) return {};
  return toQString(cell);
}

QVariant ReportTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  const auto* layout = model_.layout().find(std::string(list_));
  if (!layout || section < 0 || section >= columns_) return {};
  return toQString(layout->columns[section].header);
}

void ReportTableModel::refresh() {
  window::ListShape shape = model_.listShape(list_);
  if (shape.resets != announcedResets_ || shape.rows < announcedRows_) {
    beginResetModel();
    announcedRows_ = shape.rows;
    announcedResets_ = shape.resets;
    endResetModel();
  } else if (shape.rows > announcedRows_) {
    beginInsertRows({}, announcedRows_, shape.rows - 1);
    announcedRows_ = shape.rows;
    endInsertRows();
  }
}

void ReportTableModel::cellsChanged() {
  if (announcedRows_ == 0 || columns_ == 0) return;
  emit dataChanged(index(0, 0), index(announcedRows_ - 1, columns_ - 1), {Qt::DisplayRole});
}

}  // namespace quenbo::qt
