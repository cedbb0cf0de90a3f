#pragma once
#include <QPixmap>
#include <QWidget>
#include <optional>
#include <tuple>
#include <vector>

#include "stats/BinormalParameters.h"
#include "stats/ZRoc.h"

// The observed points on normal-deviate axes (z of the false-alarm rate across,
// z of the hit rate up) with the lines z(H) = d / R + z(FA) / R of the
// maximum-likelihood fit and of the fit by eye.
class ZRocView : public QWidget {
 public:
  explicit ZRocView(QWidget* parent = nullptr);

  // A binormal model's line z(H) = d / R + z(FA) / R: drawn only for finite
  // d and R > 0.
  using Line = roc::BinormalParameters;

  void SetPoints(std::vector<roc::ZRocPoint> points);
  void SetFittedLine(std::optional<Line> line);
  void SetByEyeLine(std::optional<Line> line);

  const std::vector<roc::ZRocPoint>& Points() const { return points_; }

  QSize minimumSizeHint() const override { return {260, 260}; }
  QSize sizeHint() const override { return {360, 360}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // Where the plot lies: deviates -lim .. lim on both axes in the square plot.
  struct Frame {
    int lim;
    int textH;
    int left;  // room for the tick labels and the vertical title
    QRectF plot;
    double unit;  // pixels per unit of z
    QPointF ToPixel(double zx, double zy) const;
  };
  Frame FrameNow() const;
  void PaintBackground(const Frame& f);
  void PaintLegend(const Frame& f, bool fitted, bool byEye);

  QPixmap background_;
  std::tuple<QRect, int, qreal> backgroundKey_;  // geometry: the parent beneath shows through
  QPixmap legend_;
  std::tuple<bool, bool, int, qreal> legendKey_;
  std::vector<roc::ZRocPoint> points_;
  std::optional<Line> fitted_;
  std::optional<Line> byEye_;
};
