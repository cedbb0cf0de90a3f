#include "windows/ClassReport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFontMetricsF>
#include <QPainter>
#include <QPageLayout>
#include <QPdfWriter>
#include <algorithm>

#include "windows/ClassPlot.h"
#include "windows/ClassTables.h"
#include "windows/ReadNoteText.h"
#include "windows/SaveFile.h"

namespace {

// Lays text and tables down a page from the top, starting a new page when the
// next piece does not fit.
class PageFlow {
 public:
  PageFlow(QPdfWriter& writer, QPainter& painter) : writer_(writer), painter_(painter) {
    const QRect page = writer.pageLayout().paintRectPixels(writer.resolution());
    area_ = QRectF(0, 0, page.width(), page.height());
    y_ = 0;
  }

  double Width() const { return area_.width(); }
  double Y() const { return y_; }
  void Skip(double h) { y_ += h; }

  // Room for h more, on a new page when this one is full.
  void Ensure(double h) {
    if (y_ + h <= area_.bottom() || y_ == 0) return;
    writer_.newPage();
    y_ = 0;
  }

  void Text(const QString& text, double points, bool bold = false) {
    QFont font = painter_.font();
    font.setPointSizeF(points);
    font.setBold(bold);
    painter_.setFont(font);
    const QRectF bounds = painter_.boundingRect(QRectF(0, 0, Width(), 1e6), Qt::TextWordWrap, text);
    Ensure(bounds.height());
    painter_.drawText(QRectF(0, y_, Width(), bounds.height()), Qt::TextWordWrap, text);
    y_ += bounds.height();
  }

  // Columns of the given relative widths; the header row again on each new page.
  void Table(const QStringList& headers, const std::vector<QStringList>& rows, const std::vector<double>& weights,
             double points) {
    QFont font = painter_.font();
    font.setPointSizeF(points);
    font.setBold(false);
    painter_.setFont(font);
    const double rowH = QFontMetricsF(font).height() + 4;
    double total = 0;
    for (double w : weights) total += w;
    std::vector<double> x{0};
    for (double w : weights) x.push_back(x.back() + Width() * w / total);
    auto row = [&](const QStringList& cells, bool header) {
      if (header) painter_.fillRect(QRectF(0, y_, Width(), rowH), QColor(235, 235, 235));
      for (int c = 0; c < cells.size() && c + 1 < static_cast<int>(x.size()); ++c) {
        painter_.drawText(QRectF(x[c] + 2, y_, x[c + 1] - x[c] - 4, rowH),
                          Qt::AlignVCenter | (c == 0 ? Qt::AlignLeft : Qt::AlignRight), cells[c]);
      }
      painter_.setPen(QPen(QColor(200, 200, 200), 0.5));
      painter_.drawLine(QPointF(0, y_ + rowH), QPointF(Width(), y_ + rowH));
      painter_.setPen(Qt::black);
      y_ += rowH;
    };
    Ensure(2 * rowH);
    row(headers, true);
    for (const QStringList& cells : rows) {
      if (y_ + rowH > area_.bottom()) {
        writer_.newPage();
        y_ = 0;
        row(headers, true);
      }
      row(cells, false);
    }
  }

 private:
  QPdfWriter& writer_;
  QPainter& painter_;
  QRectF area_;
  double y_;
};

// The title, when the report was made and from what.
void Title(PageFlow& flow, const ClassReportContent& content) {
  flow.Text(QCoreApplication::translate("ClassReport", "クラスの結果"), 16, true);
  flow.Text(QCoreApplication::translate("ClassReport", "作成 %1　データ: %2")
                .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                     content.sources.join(QStringLiteral(", "))),
            8);
  flow.Skip(8);
}

// The ROC and the z-ROC plot side by side.
void Plots(PageFlow& flow, QPainter& painter, const ClassReportContent& content) {
  const ClassPlotData data = classtext::PlotData(*content.loader, content.designs);
  const double side = (flow.Width() - 16) / 2;
  QFont plotFont = painter.font();
  plotFont.setPointSizeF(7);
  plotFont.setBold(false);
  painter.setFont(plotFont);
  PaintClassPlot(painter, QRectF(0, flow.Y(), side, side), data, ClassPlotKind::kRoc, -1);
  painter.setFont(plotFont);
  PaintClassPlot(painter, QRectF(side + 16, flow.Y(), side, side), data, ClassPlotKind::kZRoc, -1);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::black);
  flow.Skip(side + 10);
}

// The designs' summaries, one column each.
void Designs(PageFlow& flow, const ClassReportContent& content) {
  flow.Text(QCoreApplication::translate("ClassReport", "デザインごとの要約"), 11, true);
  flow.Skip(3);
  const QStringList fields = classtext::DesignHeaders();
  QStringList headers{fields.front()};
  std::vector<QStringList> columns;
  for (const roc::DesignSummary& d : content.designs) {
    columns.push_back(classtext::DesignRow(d));
    headers << columns.back().front();
  }
  std::vector<QStringList> rows;
  for (int f = 1; f < fields.size(); ++f) {
    QStringList row{fields[f]};
    for (const QStringList& c : columns) row << c[f];
    rows.push_back(row);
  }
  std::vector<double> weights{1.2};
  weights.resize(1 + columns.size(), 1.0);
  flow.Table(headers, rows, weights, 8);
  flow.Skip(10);
}

// The comparison of the two chosen designs; nothing unless two different
// ones are chosen.
void Comparison(PageFlow& flow, const ClassReportContent& content) {
  if (content.first.empty() || content.second.empty() || content.first == content.second) return;
  const std::vector<const roc::ClassSession*> sessions = content.loader->ClassSessions();
  const roc::DesignComparison comparison = roc::CompareDesigns(sessions, content.first, content.second);
  auto find = [&](const std::string& name) -> const roc::DesignSummary* {
    for (const roc::DesignSummary& d : content.designs)
      if (d.design == name) return &d;
    return nullptr;
  };
  flow.Text(QCoreApplication::translate("ClassReport", "デザインの比較"), 11, true);
  flow.Skip(3);
  std::vector<QStringList> lines;
  for (const auto& [caption, text] : classtext::ComparisonLines(comparison, find(content.first), find(content.second)))
    lines.push_back({caption, text});
  flow.Table({QCoreApplication::translate("ClassReport", "項目"), QCoreApplication::translate("ClassReport", "値")},
             lines, {1, 2}, 8);
  flow.Skip(10);
}

// What could not be read; nothing when all was.
void Problems(PageFlow& flow, const ClassReportContent& content) {
  std::vector<experiment::ReadNote> problems = content.loader->Notes();
  std::erase_if(problems, [](const experiment::ReadNote& n) { return !n.LeavesOut(); });
  if (problems.empty()) return;
  flow.Text(QCoreApplication::translate("ClassReport", "読み込めなかったファイル"), 11, true);
  for (const experiment::ReadNote& p : problems) flow.Text(ReadNoteText(p), 7);
  flow.Skip(10);
}

// The session table, every column of the window's, each as wide as its share.
void Sessions(PageFlow& flow, const ClassReportContent& content) {
  flow.Text(QCoreApplication::translate("ClassReport", "セッション"), 11, true);
  flow.Skip(3);
  QStringList headers;
  std::vector<double> widths;
  for (const classtext::SessionColumn& column : classtext::SessionColumns()) {
    headers << classtext::SessionHeading(column);
    widths.push_back(column.width);
  }
  std::vector<QStringList> rows;
  for (const classdata::ClassEntry& e : content.loader->Sessions()) {
    QStringList row;
    for (const classtext::SessionColumn& column : classtext::SessionColumns())
      row << classtext::SessionCell(e, column, Qt::DisplayRole).toString();
    rows.push_back(row);
  }
  flow.Table(headers, rows, widths, 6.5);
}

}  // namespace

void WriteClassReport(QIODevice* device, const ClassReportContent& content) {
  QPdfWriter writer(device);
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
  // Coordinates in pixels of 96 per inch, as on the screen: the plot's pens
  // and fonts keep their proportions.
  writer.setResolution(96);
  writer.setTitle(QCoreApplication::translate("ClassReport", "クラスの結果"));
  writer.setCreator(QStringLiteral("rocrating"));
  QPainter painter(&writer);
  painter.setRenderHint(QPainter::Antialiasing);
  PageFlow flow(writer, painter);
  Title(flow, content);
  Plots(flow, painter, content);
  Designs(flow, content);
  Comparison(flow, content);
  Problems(flow, content);
  Sessions(flow, content);
}

QString SaveClassReport(const QString& path, const ClassReportContent& content) {
  return SaveFileAtomically(path, [&content](QIODevice& file) {
    WriteClassReport(&file, content);
    return true;
  });
}
