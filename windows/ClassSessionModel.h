#pragma once
#include <QAbstractTableModel>

#include "classdata/ClassLoader.h"

// The sessions of the loader as a table; sorted through a proxy by the values
// of Qt::UserRole.
class ClassSessionModel : public QAbstractTableModel {
 public:
  explicit ClassSessionModel(const classdata::ClassLoader& loader, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Follows a refresh of the loader: rows inserted and changed in place, or
  // the whole table again after a removal.
  void Follow(const classdata::ClassLoader::Update& update);

 private:
  const classdata::ClassLoader& loader_;
  int rows_ = 0;
};
