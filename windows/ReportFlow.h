#pragma once
#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QPainter;

// A column of a report's table: how its texts are aligned, and whether a
// text too wide for it is shortened with "…" (a name) rather than wrapped at
// its spaces (numbers, times and headings, which are never cut).
struct ReportColumn {
  Qt::Alignment alignment = Qt::AlignRight;
  bool shortened = false;
};

// Lays text and tables down a page from the top, starting a new page (through
// newPage) when the next piece does not fit. Measures with the painter's
// device.
class PageFlow {
 public:
  PageFlow(QPainter& painter, QSizeF page, std::function<void()> newPage);

  double Width() const { return area_.width(); }
  double Y() const { return y_; }
  void Skip(double h) { y_ += h; }

  // Room for h more, on a new page when this one is full.
  void Ensure(double h);

  // A paragraph, wrapped at its spaces (anywhere, where a word is wider than
  // the page).
  void Text(const QString& text, double points, bool bold = false);

  // A table with a shaded header row, repeated on each new page. The columns
  // are as wide as their texts when all fit the page's width; otherwise they
  // give way step by step until they fit: the headings wrapped at their
  // spaces, then the font made a little smaller, then the names shortened,
  // then every text wrapped at its spaces (a column stays as wide as its
  // widest word), the room left each time given back where it puts the most
  // texts on one line again, then the font made smaller still. No number is
  // ever cut.
  void Table(const QStringList& headers, const std::vector<QStringList>& rows, const std::vector<ReportColumn>& columns,
             double points);

 private:
  void NewPage();
  std::vector<double> ColumnWidths(const std::vector<QStringList>& texts, const std::vector<ReportColumn>& columns,
                                   bool giveWay, bool& fits) const;
  double RowHeight(const QStringList& cells, const std::vector<double>& widths,
                   const std::vector<ReportColumn>& columns) const;
  void Row(const QStringList& cells, const std::vector<double>& widths, const std::vector<ReportColumn>& columns,
           bool header);

  QPainter& painter_;
  QRectF area_;
  std::function<void()> newPage_;
  double y_ = 0;
};
