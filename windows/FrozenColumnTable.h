#pragma once
#include <QTableView>

// A table whose first column stays in view when the other columns scroll
// sideways: a second view of the same model, showing that column alone, lies
// over the table's left edge, shares its selection and sort and scrolls with
// it up and down.
class FrozenColumnTable : public QTableView {
 public:
  explicit FrozenColumnTable(QWidget* parent = nullptr);

  void setModel(QAbstractItemModel* model) override;
  // The rows' height, in both views.
  void SetRowHeight(int height);
  // The view that shows the first column.
  QTableView* Frozen() const { return frozen_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

 private:
  void ShowFirstColumnOnly();
  void PlaceFrozen();

  QTableView* frozen_;
};
