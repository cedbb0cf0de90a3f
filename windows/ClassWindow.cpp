#include "windows/ClassWindow.h"

#include <QCoreApplication>
#include <QBuffer>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "classdata/OutputPath.h"
#include "classdata/ReportCsv.h"
#include "ui/qt/Application.h"
#include "windows/ClassTables.h"
#include "windows/FrozenColumnTable.h"
#include "windows/ReadNoteText.h"
#include "windows/SaveDialog.h"
#include "windows/SaveFile.h"
#include "windows/WriteError.h"

namespace {

constexpr int kPollMs = 2000;   // what a watcher misses (a network folder) shows within this
constexpr int kGatherMs = 150;  // a burst of watcher reports becomes one read

QGroupBox* Group(const QString& title, QLayout* content) {
  auto* box = new QGroupBox(title);
  box->setLayout(content);
  return box;
}

}  // namespace

// ----------------------------------------------------------------- window --

ClassWindow::ClassWindow(const std::vector<std::string>& sources, QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(QCoreApplication::translate("ClassWindow", "クラスの結果"));
  for (const std::string& s : sources) {
    std::unique_ptr<classdata::ClassSource> source = classdata::OpenSource(s, classdata::ReadMode::kLive);
    source->OnChange([this] { soon_.start(kGatherMs); });  // a database's notification
    loader_.AddSource(std::move(source));
    sourceNames_ << QString::fromStdString(s);
  }
  sources_ = sources;
  loader_.Refresh();

  model_ = new ClassSessionModel(loader_, this);
  sorted_ = new QSortFilterProxyModel(this);
  sorted_->setSourceModel(model_);
  sorted_->setSortRole(Qt::UserRole);
  sorted_->setDynamicSortFilter(true);

  plot_ = new ClassPlotView;
  auto* left = new QVBoxLayout;
  left->addWidget(BuildTop());
  left->addWidget(plot_, 1);
  auto* leftWidget = new QWidget;
  leftWidget->setLayout(left);

  splitter_ = new QSplitter(Qt::Horizontal);
  splitter_->addWidget(leftWidget);
  splitter_->addWidget(BuildRight());
  splitter_->setStretchFactor(0, 1);
  splitter_->setStretchFactor(1, 1);
  status_ = new QLabel;
  auto* top = new QVBoxLayout(this);
  top->addWidget(splitter_, 1);
  top->addWidget(status_);

  connect(&poll_, &QTimer::timeout, this, [this] { Refresh(); });
  poll_.start(kPollMs);
  soon_.setSingleShot(true);
  connect(&soon_, &QTimer::timeout, this, [this] { Refresh(); });
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { soon_.start(kGatherMs); });
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { soon_.start(kGatherMs); });

  designs_ = roc::SummarizeDesigns(loader_.ClassSessions(), withIncomplete_->isChecked());
  plot_->SetData(classtext::PlotData(loader_, designs_));
  ShowDesigns();
  ShowComparison();
  ShowProblems();
  WatchSources();
  table_->sortByColumn(0, Qt::AscendingOrder);  // by the first column, the observer
  FitScreen();
}

ClassWindow::~ClassWindow() {
  // The model reads the loader, which goes before the child widgets do.
  table_->setModel(nullptr);
  delete sorted_;
  delete model_;
}

QWidget* ClassWindow::BuildTop() {
  auto* row = new QHBoxLayout;
  row->setContentsMargins(0, 0, 0, 0);
  rocButton_ = new QRadioButton(QStringLiteral("ROC"));
  zrocButton_ = new QRadioButton(QStringLiteral("z-ROC"));
  rocButton_->setChecked(true);
  auto* group = new QButtonGroup(this);
  group->addButton(rocButton_);
  group->addButton(zrocButton_);
  connect(zrocButton_, &QRadioButton::toggled, this,
          [this](bool on) { plot_->SetKind(on ? ClassPlotKind::kZRoc : ClassPlotKind::kRoc); });
  row->addWidget(rocButton_);
  row->addWidget(zrocButton_);
  row->addStretch(1);
  const std::pair<QString, void (ClassWindow::*)()> saves[] = {
      {QCoreApplication::translate("ClassWindow", "レポートを保存..."), &ClassWindow::SaveReport},
      {QCoreApplication::translate("ClassWindow", "図を保存..."), &ClassWindow::SaveFigure},
      {QCoreApplication::translate("ClassWindow", "表を保存..."), &ClassWindow::SaveTable}};
  for (const auto& [text, save] : saves) {
    auto* button = new QPushButton(text);
    connect(button, &QPushButton::clicked, this,
            [this, save] { ui::Application::Invoke([this, save] { (this->*save)(); }); });
    row->addWidget(button);
  }
  auto* widget = new QWidget;
  widget->setLayout(row);
  return widget;
}

// The two designs to compare, chosen in two lists, above the comparison.
QVBoxLayout* ClassWindow::BuildComparison() {
  firstDesign_ = new QComboBox;
  secondDesign_ = new QComboBox;
  for (QComboBox* box : {firstDesign_, secondDesign_})
    connect(box, &QComboBox::currentIndexChanged, this, [this] { ShowComparison(); });
  auto* choose = new QHBoxLayout;
  choose->addWidget(firstDesign_);
  choose->addWidget(new QLabel(QCoreApplication::translate("ClassWindow", "と")));
  choose->addWidget(secondDesign_);
  choose->addStretch(1);
  comparison_ = new QWidget;
  new QGridLayout(comparison_);
  auto* compare = new QVBoxLayout;
  compare->addLayout(choose);
  compare->addWidget(comparison_);
  return compare;
}

QWidget* ClassWindow::BuildRight() {
  // The observer column stays in view when the others scroll sideways.
  table_ = new FrozenColumnTable;
  table_->setModel(sorted_);
  table_->setSortingEnabled(true);
  table_->SetRowHeight(table_->fontMetrics().height() + 6);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table_->horizontalHeader()->setStretchLastSection(true);
  connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { SelectionChanged(); });

  designTable_ = new QTableWidget(0, classtext::DesignHeaders().size());
  designTable_->setHorizontalHeaderLabels(classtext::DesignHeaders());
  designTable_->verticalHeader()->hide();
  designTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  designTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  // Room for two designs, the comparison's, where the screen is low.
  const int twoDesigns = designTable_->horizontalHeader()->sizeHint().height() +
                         2 * designTable_->verticalHeader()->defaultSectionSize() +
                         designTable_->horizontalScrollBar()->sizeHint().height() + 2 * designTable_->frameWidth();
  designTable_->setMinimumHeight(twoDesigns);
  designTable_->setMaximumHeight(std::max(twoDesigns, designTable_->fontMetrics().height() * 6 + 16));


  problems_ = new QListWidget;
  problems_->setMinimumHeight(problems_->fontMetrics().height() * 2 + 12);
  problems_->setMaximumHeight(problems_->fontMetrics().height() * 5 + 12);

  // The sessions above; below them the summaries, the comparison and what
  // was read how, their lists shorter where the screen is low.
  auto* sessions = new QVBoxLayout;
  sessions->addWidget(table_);
  withIncomplete_ = new QCheckBox(
      QCoreApplication::translate("ClassWindow", "未完了のセッション（記録試行がデザインより少ないもの）も含める"));
  connect(withIncomplete_, &QCheckBox::toggled, this, [this](bool on) {
    designs_ = roc::SummarizeDesigns(loader_.ClassSessions(), on);
    plot_->SetData(classtext::PlotData(loader_, designs_));
    ShowDesigns();
    ShowComparison();
  });
  auto* column = new QVBoxLayout;
  column->setContentsMargins(0, 0, 0, 0);
  auto* designs = new QVBoxLayout;
  designs->addWidget(withIncomplete_);
  designs->addWidget(designTable_);
  column->addWidget(Group(QCoreApplication::translate("ClassWindow", "デザインごとの要約"), designs));
  column->addWidget(Group(QCoreApplication::translate("ClassWindow", "デザインの比較"), BuildComparison()));
  auto* problems = new QVBoxLayout;
  problems->addWidget(problems_);
  column->addWidget(Group(QCoreApplication::translate("ClassWindow", "読み込めなかったもの、読み方の注意"), problems));
  below_ = new QWidget;
  below_->setLayout(column);
  sections_ = new QSplitter(Qt::Vertical);
  sections_->addWidget(Group(QCoreApplication::translate("ClassWindow", "セッション"), sessions));
  sections_->addWidget(below_);
  sections_->setStretchFactor(0, 1);
  sections_->setChildrenCollapsible(false);
  return sections_;
}

void ClassWindow::Refresh() {
  // A removal resets the table: the selected session is found again by its key.
  std::optional<std::tuple<std::string, std::string, std::uint32_t>> selected;
  if (const int h = plot_->Highlighted(); h >= 0 && h < static_cast<int>(loader_.Sessions().size())) {
    const classdata::ClassEntry& e = loader_.Sessions()[h];
    selected = std::make_tuple(e.origin, e.session, e.seed);
  }
  const classdata::ClassLoader::Update update = loader_.Refresh();
  if (!update.Any()) return;
  model_->Follow(update);
  designs_ = roc::SummarizeDesigns(loader_.ClassSessions(), withIncomplete_->isChecked());
  plot_->SetData(classtext::PlotData(loader_, designs_));
  if (update.removed) {
    plot_->SetHighlighted(-1);
    const auto& all = loader_.Sessions();
    for (std::size_t i = 0; selected && i < all.size(); ++i) {
      if (std::make_tuple(all[i].origin, all[i].session, all[i].seed) != *selected) continue;
      table_->selectRow(sorted_->mapFromSource(model_->index(static_cast<int>(i), 0)).row());
    }
  }
  ShowDesigns();
  ShowComparison();
  if (update.notesChanged) ShowProblems();
  WatchSources();
}

void ClassWindow::WatchSources() {
  QStringList wanted;
  for (const std::string& p : loader_.WatchPaths()) wanted << QString::fromStdString(p);
  // A file replaced by a rename drops out of the watcher: every read adds
  // again what is missing.
  QStringList missing;
  const QStringList watched = watcher_.files() + watcher_.directories();
  for (const QString& p : wanted)
    if (!watched.contains(p) && QFileInfo::exists(p)) missing << p;
  if (!missing.isEmpty()) watcher_.addPaths(missing);
  ShowStatus();
}

// How many sessions, read from where: files, class databases or both.
void ClassWindow::ShowStatus() {
  const std::size_t n = loader_.Sessions().size();
  const std::size_t files = loader_.Origins(classdata::SourceKind::kFiles);
  const std::size_t databases = loader_.Origins(classdata::SourceKind::kDatabase);
  if (n == 0) {
    const QString none =
        databases == 0 ? QCoreApplication::translate("ClassWindow",
                                                     "セッションが見つかりません（%1）。ファイルが増えれば表示します。")
        : files == 0   ? QCoreApplication::translate(
                           "ClassWindow", "クラスのデータベースにセッションが見つかりません（%1）。記録が増えれば表示します。")
                       : QCoreApplication::translate("ClassWindow", "セッションが見つかりません（%1）。記録が増えれば表示します。");
    status_->setText(none.arg(sourceNames_.join(QStringLiteral(", "))));
    return;
  }
  QStringList from;
  if (files > 0 || databases == 0) from << QCoreApplication::translate("ClassWindow", "ファイル %1 件").arg(files);
  if (databases == 1) from << QCoreApplication::translate("ClassWindow", "データベース");
  if (databases > 1) from << QCoreApplication::translate("ClassWindow", "データベース %1 件").arg(databases);
  status_->setText(QCoreApplication::translate("ClassWindow", "セッション %1 件、%2　最終更新 %3")
                       .arg(n)
                       .arg(from.join(QCoreApplication::translate("ClassWindow", "、")))
                       .arg(QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss"))));
}

// The window opens at the size its content is laid out for where the screen
// has room, else as large as the screen's available area leaves room for,
// a window manager's frame included, but never smaller than its content
// needs (about 1000 × 590).
void ClassWindow::FitScreen() {
  constexpr QSize kWanted(1500, 940);
  constexpr QSize kFrame(16, 48);  // a window manager's borders and title bar, at most
  // Every part laid out from the inside out (a part comes after its own
  // parts in reverse), so that what the window needs at least is known.
  const QList<QWidget*> parts = findChildren<QWidget*>();
  for (auto part = parts.rbegin(); part != parts.rend(); ++part)
    if ((*part)->layout() != nullptr) (*part)->layout()->activate();
  QSize size = kWanted;
  if (const QScreen* shown = screen()) size = size.boundedTo(shown->availableGeometry().size() - kFrame);
  resize(size.expandedTo(minimumSizeHint()));
}

// Once shown, with every part laid out, the splitters share the room as they
// do at full size: what is below the sessions takes the height it asks for,
// but never more than kBelowShare, so that a low screen still shows a good
// part of the sessions; neither side gets less than it needs.
void ClassWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (shared_) return;
  shared_ = true;
  constexpr double kLeftShare = 660.0 / 1500;
  constexpr double kBelowShare = 0.6;
  const int across = splitter_->width();
  const int right = std::max(across - static_cast<int>(across * kLeftShare),
                             splitter_->widget(1)->minimumSizeHint().width());
  splitter_->setSizes({across - right, right});
  const int high = sections_->height();
  const int below = std::max(std::min(below_->sizeHint().height(), static_cast<int>(high * kBelowShare)),
                             below_->minimumSizeHint().height());
  sections_->setSizes({high - below, below});
}

void ClassWindow::ShowDesigns() {
  designTable_->setRowCount(static_cast<int>(designs_.size()));
  for (int r = 0; r < static_cast<int>(designs_.size()); ++r) {
    const QStringList cells = classtext::DesignRow(designs_[r]);
    for (int c = 0; c < cells.size(); ++c) {
      QTableWidgetItem* item = designTable_->item(r, c);
      if (!item) {
        item = new QTableWidgetItem;
        item->setTextAlignment(Qt::AlignVCenter | (c == 0 ? Qt::AlignLeft : Qt::AlignRight));
        designTable_->setItem(r, c, item);
      }
      if (item->text() != cells[c]) item->setText(cells[c]);
      if (c == 0) item->setForeground(plot_->Data().designs[r].colour);
    }
  }
  // The design lists of the comparison: the choice kept by name, the first
  // two designs by default.
  QStringList names;
  for (const roc::DesignSummary& d : designs_) names << QString::fromStdString(d.design);
  for (int side = 0; side < 2; ++side) {
    QComboBox* box = side == 0 ? firstDesign_ : secondDesign_;
    QStringList have;
    for (int i = 0; i < box->count(); ++i) have << box->itemText(i);
    if (have == names) continue;
    const QString keep = box->currentText();
    const QSignalBlocker block(box);
    box->clear();
    box->addItems(names);
    const int at = names.indexOf(keep);
    box->setCurrentIndex(at >= 0 ? at : std::min<int>(side, names.size() - 1));
  }
}

void ClassWindow::ShowComparison() {
  auto* grid = static_cast<QGridLayout*>(comparison_->layout());
  while (QLayoutItem* item = grid->takeAt(0)) {
    delete item->widget();
    delete item;
  }
  const std::string first = firstDesign_->currentText().toStdString();
  const std::string second = secondDesign_->currentText().toStdString();
  if (designs_.size() < 2 || first == second) {
    grid->addWidget(
        new QLabel(designs_.size() < 2
                       ? QCoreApplication::translate("ClassWindow", "デザインが 2 つ以上あるときに比較します。")
                       : QCoreApplication::translate("ClassWindow", "異なる 2 つのデザインを選んでください。")),
        0, 0);
    return;
  }
  auto find = [&](const std::string& name) -> const roc::DesignSummary* {
    for (const roc::DesignSummary& d : designs_)
      if (d.design == name) return &d;
    return nullptr;
  };
  const roc::DesignComparison c =
      roc::CompareDesigns(loader_.ClassSessions(), first, second, withIncomplete_->isChecked());
  int row = 0;
  for (const auto& [caption, text] : classtext::ComparisonLines(c, find(first), find(second))) {
    grid->addWidget(new QLabel(caption), row, 0);
    auto* value = new QLabel(text);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(value, row++, 1);
  }
  grid->setColumnStretch(1, 1);
}

void ClassWindow::ShowProblems() {
  problems_->clear();
  for (const experiment::ReadNote& note : loader_.Notes()) problems_->addItem(ReadNoteText(note));
}

void ClassWindow::SelectionChanged() {
  const QModelIndexList rows = table_->selectionModel()->selectedRows();
  plot_->SetHighlighted(rows.isEmpty() ? -1 : sorted_->mapToSource(rows.front()).row());
}

ClassReportContent ClassWindow::ReportContent() const {
  return {&loader_, designs_, firstDesign_->currentText().toStdString(), secondDesign_->currentText().toStdString(),
          sourceNames_, withIncomplete_->isChecked()};
}

void ClassWindow::IncludeIncomplete(bool on) { withIncomplete_->setChecked(on); }

void ClassWindow::RefuseSource(const QString& path) const {
  if (!classdata::CheckOutputPath(path.toStdString(), sources_))
    throw EWriteError(
        QCoreApplication::translate("ClassWindow", "クラスの読み込み元のファイルやフォルダーの中には保存しません: ")
            .toStdString() +
        path.toStdString());
}

void ClassWindow::SaveReport() {
  const QString path = AskSavePath(this, QCoreApplication::translate("ClassWindow", "レポートを保存"), "class-report",
                                   "pdf", "PDF (*.pdf)");
  if (!path.isEmpty()) SaveReportTo(path);
}

void ClassWindow::SaveFigure() {
  const QString path =
      AskSavePath(this, QCoreApplication::translate("ClassWindow", "図を保存"), "class-plot", "png", "PNG (*.png)");
  if (!path.isEmpty()) SaveFigureTo(path);
}

void ClassWindow::SaveTable() {
  const QString path =
      AskSavePath(this, QCoreApplication::translate("ClassWindow", "表を保存"), "class-table", "csv", "CSV (*.csv)");
  if (!path.isEmpty()) SaveTableTo(path);
}

void ClassWindow::SaveReportTo(const QString& path) const {
  RefuseSource(path);
  if (const QString error = SaveClassReport(path, ReportContent()); !error.isEmpty())
    throw EWriteError(error.toStdString());
}

void ClassWindow::SaveFigureTo(const QString& path) const {
  RefuseSource(path);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  plot_->Render(QSize(900, 900)).save(&buffer, "PNG");
  if (const QString error = SaveFileAtomically(path, bytes); !error.isEmpty()) throw EWriteError(error.toStdString());
}

void ClassWindow::SaveTableTo(const QString& path) const {
  RefuseSource(path);
  const std::string csv = classdata::FitTableCsv(loader_.Sessions());
  if (const QString error = SaveFileAtomically(path, QByteArray::fromStdString(csv)); !error.isEmpty())
    throw EWriteError(error.toStdString());
}
