#include "windows/ClassSessionModel.h"

#include <QCoreApplication>

#include "windows/ClassTables.h"

ClassSessionModel::ClassSessionModel(const classdata::ClassLoader& loader, QObject* parent)
    : QAbstractTableModel(parent), loader_(loader), rows_(static_cast<int>(loader.Sessions().size())) {}

int ClassSessionModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int ClassSessionModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : classtext::kColumns;
}

QVariant ClassSessionModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_ || index.row() >= static_cast<int>(loader_.Sessions().size()))
    return {};
  const classdata::ClassEntry& e = loader_.Sessions()[index.row()];
  if (role == Qt::DisplayRole || role == Qt::UserRole) return classtext::SessionCell(e, index.column(), role);
  if (role == Qt::TextAlignmentRole)
    return QVariant::fromValue(Qt::AlignVCenter |
                               (index.column() <= classtext::kTime ? Qt::AlignLeft : Qt::AlignRight));
  if (role == Qt::ToolTipRole) return QString::fromStdString(e.origin);
  return {};
}

QVariant ClassSessionModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::ToolTipRole && section == classtext::kMissed)
    return QCoreApplication::translate("ClassTables", "露出時間が目標から 1 フレームを超えてずれた記録試行の数");
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  return classtext::SessionHeaders().value(section);
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
    emit dataChanged(index(r, 0), index(r, classtext::kColumns - 1));
  }
}
