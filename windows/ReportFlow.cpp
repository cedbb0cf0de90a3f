#include "windows/ReportFlow.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <utility>

namespace {

constexpr double kPad = 2;          // on either side of a cell's text
constexpr double kSmallest = 4.5;   // points: a table's font gets no smaller
constexpr double kSmaller = 0.95;   // a step of a table's font towards the smallest
// A table's names are shortened and its texts wrapped only once its font
// would be made smaller than this.
constexpr double kBeforeGivingWay = 0.9;
constexpr int kShortName = 10;      // characters a shortened column keeps at least

// A text's width as a layout places it, with a pixel for its rounding.
double Advance(const QFontMetricsF& metrics, const QString& text) {
  return std::ceil(metrics.horizontalAdvance(text)) + 1;
}

double Sum(const std::vector<double>& v) { return std::accumulate(v.begin(), v.end(), 0.0); }

// The widths made to fill the room, each in proportion.
std::vector<double> Scaled(std::vector<double> widths, double room) {
  const double total = Sum(widths);
  for (double& w : widths) w *= room / total;
  return widths;
}

// The room to spare given back to the columns, each up to what it had before
// its last step of giving way: whole columns first, then a text at a time,
// each time where the most texts per pixel go back on one line. lines holds
// each column's texts' one-line widths, narrowest first.
void GiveBack(std::vector<double>& widths, const std::vector<double>& before,
              const std::vector<std::vector<double>>& lines, double spare) {
  const auto whole = [&](std::size_t c, double w) {  // the column's texts on one line at width w
    return std::upper_bound(lines[c].begin(), lines[c].end(), w) - lines[c].begin();
  };
  for (const bool wholeColumns : {true, false}) {
    for (;;) {
      std::size_t best = widths.size();
      double bestRate = 0, bestTo = 0;
      for (std::size_t c = 0; c < widths.size(); ++c) {
        double to = before[c];
        if (!wholeColumns) {
          const auto next = std::upper_bound(lines[c].begin(), lines[c].end(), widths[c]);
          if (next == lines[c].end() || *next > before[c]) continue;
          to = *next;
        }
        const double cost = to - widths[c];
        if (cost <= 0 || cost > spare) continue;
        const double rate = static_cast<double>(whole(c, to) - whole(c, widths[c])) / cost;
        if (rate > bestRate) best = c, bestRate = rate, bestTo = to;
      }
      if (best == widths.size()) break;
      spare -= bestTo - widths[best];
      widths[best] = bestTo;
    }
  }
}

}  // namespace

PageFlow::PageFlow(QPainter& painter, QSizeF page, std::function<void()> newPage)
    : painter_(painter), area_(QPointF(0, 0), page), newPage_(std::move(newPage)) {}

void PageFlow::NewPage() {
  newPage_();
  y_ = 0;
}

void PageFlow::Ensure(double h) {
  if (y_ + h <= area_.bottom() || y_ == 0) return;
  NewPage();
}

void PageFlow::Text(const QString& text, double points, bool bold) {
  QFont font = painter_.font();
  font.setPointSizeF(points);
  font.setBold(bold);
  painter_.setFont(font);
  const QFontMetricsF metrics(font, painter_.device());
  const QStringList words = text.split(u' ', Qt::SkipEmptyParts);
  const bool anywhere =
      std::any_of(words.begin(), words.end(), [&](const QString& w) { return Advance(metrics, w) > Width(); });
  const int flags = anywhere ? Qt::TextWrapAnywhere : Qt::TextWordWrap;
  const QRectF bounds = metrics.boundingRect(QRectF(0, 0, Width(), 1e6), flags, text);
  Ensure(bounds.height());
  painter_.drawText(QRectF(0, y_, Width(), bounds.height() + 1), flags, text);
  y_ += bounds.height();
}

std::vector<double> PageFlow::ColumnWidths(const std::vector<QStringList>& texts,
                                           const std::vector<ReportColumn>& columns, bool giveWay, bool& fits) const {
  const QFontMetricsF metrics(painter_.font(), painter_.device());
  const double shortName = metrics.averageCharWidth() * kShortName;
  // What each column needs at each step of giving way: every text on one
  // line; the heading wrapped at its spaces; a name shortened; every text
  // wrapped at its spaces. And each of its texts on one line, narrowest first.
  std::array<std::vector<double>, 4> need;
  std::vector<std::vector<double>> lines(columns.size());
  for (std::size_t c = 0; c < columns.size(); ++c) {
    double line[2] = {0, 0}, word[2] = {0, 0};  // of the heading, of the cells
    for (int t = 0; t < texts[c].size(); ++t) {
      const int cells = t == 0 ? 0 : 1;
      lines[c].push_back(Advance(metrics, texts[c][t]) + 2 * kPad);
      line[cells] = std::max(line[cells], lines[c].back() - 2 * kPad);
      for (const QString& w : texts[c][t].split(u' ', Qt::SkipEmptyParts))
        word[cells] = std::max(word[cells], Advance(metrics, w));
    }
    std::sort(lines[c].begin(), lines[c].end());
    need[0].push_back(std::max(line[0], line[1]) + 2 * kPad);
    need[1].push_back(std::max(word[0], line[1]) + 2 * kPad);
    need[2].push_back(columns[c].shortened ? std::min(need[1].back(), shortName + 2 * kPad) : need[1].back());
    need[3].push_back(columns[c].shortened ? need[2].back() : std::max(word[0], word[1]) + 2 * kPad);
  }
  const std::size_t steps = giveWay ? need.size() : 2;
  std::size_t step = 0;
  while (step < steps && Sum(need[step]) > Width()) ++step;
  fits = step < steps;
  if (!fits) return Scaled(need[steps - 1], Width());
  std::vector<double> widths = need[step];
  if (step > 0) GiveBack(widths, need[step - 1], lines, Width() - Sum(widths));
  return Scaled(widths, Width());
}

double PageFlow::RowHeight(const QStringList& cells, const std::vector<double>& widths,
                           const std::vector<ReportColumn>& columns) const {
  const QFontMetricsF metrics(painter_.font(), painter_.device());
  double h = metrics.height();
  for (int c = 0; c < cells.size() && c < static_cast<int>(columns.size()); ++c) {
    if (columns[c].shortened) continue;
    const QRectF room(0, 0, widths[c] - 2 * kPad, 1e6);
    h = std::max(h, metrics.boundingRect(room, Qt::TextWordWrap | columns[c].alignment, cells[c]).height());
  }
  return h + 4;
}

void PageFlow::Row(const QStringList& cells, const std::vector<double>& widths,
                   const std::vector<ReportColumn>& columns, bool header) {
  const double h = RowHeight(cells, widths, columns);
  if (header) painter_.fillRect(QRectF(0, y_, Width(), h), QColor(235, 235, 235));
  const QFontMetricsF metrics(painter_.font(), painter_.device());
  double x = 0;
  for (int c = 0; c < cells.size() && c < static_cast<int>(columns.size()); ++c) {
    const QRectF cell(x + kPad, y_, widths[c] - 2 * kPad, h);
    x += widths[c];
    if (columns[c].shortened) {
      painter_.drawText(cell, Qt::AlignVCenter | columns[c].alignment,
                        metrics.elidedText(cells[c], Qt::ElideRight, cell.width() - 1));
    } else {
      painter_.drawText(cell, Qt::AlignVCenter | Qt::TextWordWrap | columns[c].alignment, cells[c]);
    }
  }
  painter_.setPen(QPen(QColor(200, 200, 200), 0.5));
  painter_.drawLine(QPointF(0, y_ + h), QPointF(Width(), y_ + h));
  painter_.setPen(Qt::black);
  y_ += h;
}

void PageFlow::Table(const QStringList& headers, const std::vector<QStringList>& rows,
                     const std::vector<ReportColumn>& columns, double points) {
  std::vector<QStringList> texts(columns.size());  // each column's, the heading's first
  const auto add = [&](const QStringList& row) {
    for (int c = 0; c < row.size() && c < static_cast<int>(columns.size()); ++c) texts[c] << row[c];
  };
  add(headers);
  for (const QStringList& row : rows) add(row);
  QFont font = painter_.font();
  font.setBold(false);
  bool fits = false;
  std::vector<double> widths;
  // A little smaller before any text gives way, then every way at that size,
  // then smaller still.
  bool giveWay = false;
  for (double p = points;;) {
    font.setPointSizeF(p);
    painter_.setFont(font);
    widths = ColumnWidths(texts, columns, giveWay, fits);
    if (fits) break;
    if (!giveWay && p * kSmaller < points * kBeforeGivingWay) {
      giveWay = true;
    } else if (p * kSmaller >= kSmallest) {
      p *= kSmaller;
    } else {
      break;
    }
  }
  const double headerH = RowHeight(headers, widths, columns);
  Ensure(headerH + (rows.empty() ? 0 : RowHeight(rows.front(), widths, columns)));
  Row(headers, widths, columns, true);
  for (const QStringList& cells : rows) {
    if (y_ + RowHeight(cells, widths, columns) > area_.bottom()) {
      NewPage();
      Row(headers, widths, columns, true);
    }
    Row(cells, widths, columns, false);
  }
}
