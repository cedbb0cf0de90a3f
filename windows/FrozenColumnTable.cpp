#include "windows/FrozenColumnTable.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>

FrozenColumnTable::FrozenColumnTable(QWidget* parent) : QTableView(parent), frozen_(new QTableView(this)) {
  for (QTableView* view : {static_cast<QTableView*>(this), frozen_}) {
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setAlternatingRowColors(true);
    view->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    view->verticalHeader()->hide();
  }
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  frozen_->setFocusPolicy(Qt::NoFocus);
  frozen_->setFrameShape(QFrame::NoFrame);
  frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  frozen_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  frozen_->horizontalHeader()->setSortIndicatorShown(true);
  frozen_->horizontalHeader()->setSectionsClickable(true);
  viewport()->stackUnder(frozen_);

  connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int size) {
    if (column != 0) return;
    frozen_->setColumnWidth(0, size);
    PlaceFrozen();
  });
  connect(verticalHeader(), &QHeaderView::sectionResized, this,
          [this](int row, int, int size) { frozen_->setRowHeight(row, size); });
  connect(frozen_->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(), &QAbstractSlider::setValue);
  connect(verticalScrollBar(), &QAbstractSlider::valueChanged, frozen_->verticalScrollBar(), &QAbstractSlider::setValue);
  // One sort for both: a click on either heading sorts the model, both show it.
  connect(frozen_->horizontalHeader(), &QHeaderView::sortIndicatorChanged, horizontalHeader(),
          &QHeaderView::setSortIndicator);
  connect(horizontalHeader(), &QHeaderView::sortIndicatorChanged, frozen_->horizontalHeader(),
          &QHeaderView::setSortIndicator);
}

void FrozenColumnTable::setModel(QAbstractItemModel* model) {
  QTableView::setModel(model);
  frozen_->setModel(model);
  QItemSelectionModel* own = frozen_->selectionModel();  // made by setModel, replaced by the shared one
  frozen_->setSelectionModel(selectionModel());
  delete own;
  if (model != nullptr) {
    connect(model, &QAbstractItemModel::columnsInserted, this, [this] { ShowFirstColumnOnly(); });
    connect(model, &QAbstractItemModel::modelReset, this, [this] { ShowFirstColumnOnly(); });
  }
  ShowFirstColumnOnly();
}

void FrozenColumnTable::SetRowHeight(int height) {
  verticalHeader()->setDefaultSectionSize(height);
  frozen_->verticalHeader()->setDefaultSectionSize(height);
}

void FrozenColumnTable::ShowFirstColumnOnly() {
  if (model() == nullptr) return;
  for (int c = 0; c < model()->columnCount(); ++c) frozen_->setColumnHidden(c, c != 0);
  frozen_->setColumnWidth(0, columnWidth(0));
  PlaceFrozen();
}

void FrozenColumnTable::PlaceFrozen() {
  const int left = frameWidth() + (verticalHeader()->isHidden() ? 0 : verticalHeader()->width());
  frozen_->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
  frozen_->setGeometry(left, frameWidth(), columnWidth(0), viewport()->height() + horizontalHeader()->height());
}

void FrozenColumnTable::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  PlaceFrozen();
}

// Moving left onto a cell under the first column scrolls it out from under.
QModelIndex FrozenColumnTable::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  const QModelIndex current = QTableView::moveCursor(action, modifiers);
  const int hidden = columnWidth(0) - visualRect(current).left();
  if (action == MoveLeft && current.column() > 0 && hidden > 0)
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() - hidden);
  return current;
}

// The first column is always in view: going to one of its cells scrolls only
// up or down.
void FrozenColumnTable::scrollTo(const QModelIndex& index, ScrollHint hint) {
  const int across = horizontalScrollBar()->value();
  QTableView::scrollTo(index, hint);
  if (index.column() == 0) horizontalScrollBar()->setValue(across);
}
