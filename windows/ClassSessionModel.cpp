#include "windows/ClassSessionModel.h"

#include <span>

#include "windows/ClassTables.h"

ClassSessionModel::ClassSessionModel(const classdata::ClassLoader& loader, QObject* parent)
    : QAbstractTableModel(parent), loader_(loader), rows_(static_cast<int>(loader.Sessions().size())) {}

int ClassSessionModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int ClassSessionModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(classtext::SessionColumns().size());
}

QVariant ClassSessionModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_ || index.row() >= static_cast<int>(loader_.Sessions().size()))
    return {};
  const std::span<const classtext::SessionColumn> columns = classtext::SessionColumns();
  if (index.column() >= static_cast<int>(columns.size())) return {};
  const classtext::SessionColumn& column = columns[index.column()];
  const classdata::ClassEntry& e = loader_.Sessions()[index.row()];
  if (role == Qt::DisplayRole || role == Qt::UserRole) return classtext::SessionCell(e, column, role);
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignVCenter | column.alignment);
  if (role == Qt::ToolTipRole) return QString::fromStdString(e.origin);
  return {};
}

QVariant ClassSessionModel::headerData(int section, Qt::Orientation orientation, int role) const {
  const std::span<const classtext::SessionColumn> columns = classtext::SessionColumns();
  if (orientation != Qt::Horizontal || section < 0 || section >= static_cast<int>(columns.size()))
    return QAbstractTableModel::headerData(section, orientation, role);
  if (role == Qt::DisplayRole) return classtext::SessionHeading(columns[section]);
  if (role == Qt::ToolTipRole) {
    if (const QString tip = classtext::SessionTip(columns[section]); !tip.isEmpty()) return tip;
  }
  return QAbstractTableModel::headerData(section, orientation, role);
}

void ClassSessionModel::Follow(const classdata::ClassLoader::Update& update) {
  const int now = static_cast<int>(loader_.Sessions().size());
  if (update.removed) {
    beginResetModel();
    rows_ = now;
    endResetModel();
    return;
  }
  if (now > rows_) {
    beginInsertRows({}, rows_, now - 1);
    rows_ = now;
    endInsertRows();
  }
  for (std::size_t row : update.changed) {
    const int r = static_cast<int>(row);
    emit dataChanged(index(r, 0), index(r, columnCount() - 1));
  }
}
