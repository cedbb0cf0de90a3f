#pragma once
#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

#include "stats/ZRoc.h"

class QPainter;

// What the class plot shows: every session's observed points and fitted
// curve in its design's colour, and per design the curve of the pooled fit
// (thick) and the curve of the averaged a and b (dashed).
struct ClassPlotData {
  // A binormal ROC curve in its z-ROC form: z(H) = a + b z(FA).
  struct Line {
    double a;
    double b;
  };
  struct Session {
    int design;  // index into designs
    std::vector<roc::RatePoint> points;
    std::optional<Line> fit;
  };
  struct Design {
    QString name;
    QColor colour;
    std::optional<Line> pooled;
    std::optional<Line> averaged;
  };
  std::vector<Session> sessions;
  std::vector<Design> designs;
};

enum class ClassPlotKind { kRoc, kZRoc };

// Paints the plot into area: axes, grid, the sessions, the design curves,
// the highlighted session (an index into data.sessions, or -1) on top and the
// legend. Pens and fonts are sized for a device of 96 dots per inch; the
// painter is set to antialias.
void PaintClassPlot(QPainter& painter, const QRectF& area, const ClassPlotData& data, ClassPlotKind kind,
                    int highlighted);

// The plot as a widget.
class ClassPlotView : public QWidget {
 public:
  explicit ClassPlotView(QWidget* parent = nullptr);

  void SetData(ClassPlotData data);
  void SetKind(ClassPlotKind kind);
  void SetHighlighted(int session);

  const ClassPlotData& Data() const { return data_; }
  ClassPlotKind Kind() const { return kind_; }
  int Highlighted() const { return highlighted_; }

  // The plot at the given size, for saving as PNG.
  QImage Render(QSize size) const;

  QSize minimumSizeHint() const override { return {320, 320}; }
  QSize sizeHint() const override { return {560, 560}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ClassPlotData data_;
  ClassPlotKind kind_ = ClassPlotKind::kRoc;
  int highlighted_ = -1;
};
