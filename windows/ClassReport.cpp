#include "windows/ClassReport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QPainter>
#include <QPageLayout>
#include <QPdfWriter>
#include <algorithm>

#include "windows/ClassPlot.h"
#include "windows/ClassTables.h"
#include "windows/ReadNoteText.h"
#include "windows/ReportFlow.h"
#include "windows/SaveFile.h"

namespace {

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
  std::vector<ReportColumn> layout{{Qt::AlignLeft, false}};
  layout.resize(1 + columns.size(), {Qt::AlignRight, false});
  flow.Table(headers, rows, layout, 8);
  int incomplete = 0;
  for (const roc::DesignSummary& d : content.designs) incomplete += d.incomplete;
  if (incomplete > 0) {
    flow.Skip(3);
    flow.Text(content.withIncomplete
                  ? QCoreApplication::translate("ClassReport",
                                                "未完了のセッション（記録試行がデザインより少ないもの）%1 件を"
                                                "要約と比較に含めています。")
                        .arg(incomplete)
                  : QCoreApplication::translate("ClassReport",
                                                "未完了のセッション（記録試行がデザインより少ないもの）%1 件は"
                                                "要約と比較に含めていません。")
                        .arg(incomplete),
              7);
  }
  flow.Skip(10);
}

// The comparison of the two chosen designs; nothing unless two different
// ones are chosen.
void Comparison(PageFlow& flow, const ClassReportContent& content) {
  if (content.first.empty() || content.second.empty() || content.first == content.second) return;
  const std::vector<const roc::ClassSession*> sessions = content.loader->ClassSessions();
  const roc::DesignComparison comparison =
      roc::CompareDesigns(sessions, content.first, content.second, content.withIncomplete);
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
             lines, {{Qt::AlignLeft, false}, {Qt::AlignLeft, false}}, 8);
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

// The session table, every column of the window's, aligned as there.
void Sessions(PageFlow& flow, const ClassReportContent& content) {
  flow.Text(QCoreApplication::translate("ClassReport", "セッション"), 11, true);
  flow.Skip(3);
  QStringList headers;
  std::vector<ReportColumn> layout;
  for (const classtext::SessionColumn& column : classtext::SessionColumns()) {
    headers << classtext::SessionHeading(column);
    layout.push_back({column.alignment, column.shortened});
  }
  std::vector<QStringList> rows;
  for (const classdata::ClassEntry& e : content.loader->Sessions()) {
    QStringList row;
    for (const classtext::SessionColumn& column : classtext::SessionColumns())
      row << classtext::SessionCell(e, column, Qt::DisplayRole).toString();
    rows.push_back(row);
  }
  flow.Table(headers, rows, layout, 6.5);
}

}  // namespace

void PaintClassReport(QPainter& painter, QSizeF page, const std::function<void()>& newPage,
                      const ClassReportContent& content) {
  painter.setRenderHint(QPainter::Antialiasing);
  PageFlow flow(painter, page, newPage);
  Title(flow, content);
  Plots(flow, painter, content);
  Designs(flow, content);
  Comparison(flow, content);
  Problems(flow, content);
  Sessions(flow, content);
}

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
  const QRect page = writer.pageLayout().paintRectPixels(writer.resolution());
  PaintClassReport(painter, page.size(), [&writer] { writer.newPage(); }, content);
}

QString SaveClassReport(const QString& path, const ClassReportContent& content) {
  return SaveFileAtomically(path, [&content](QIODevice& file) {
    WriteClassReport(&file, content);
    return true;
  });
}
