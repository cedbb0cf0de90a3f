#include "windows/UZRocView.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <tuple>

#include "plot/PlotColours.h"
#include "ui/qt/QtColour.h"

namespace {

QColor PointColour(int p) { return ui::ToQColor(roc::PointColour(p)); }
const QColor kFittedColour = ui::ToQColor(roc::kZRocFittedColour);
const QColor kByEyeColour = ui::ToQColor(roc::kModelCurveColour);

bool Drawable(const std::optional<roc::BinormalParameters>& l) {
  return l && std::isfinite(l->d) && std::isfinite(l->R) && l->R > 0 && std::isfinite(1 / l->R);
}

// The part of z(H) = a + b z(FA) inside the square [-lim, lim]^2, if any.
std::optional<QLineF> ClipLine(double a, double b, double lim) {
  double x1 = -lim;
  double x2 = lim;
  if (b != 0) {
    const double xa = (-lim - a) / b;
    const double xb = (lim - a) / b;
    x1 = std::max(x1, std::min(xa, xb));
    x2 = std::min(x2, std::max(xa, xb));
  } else if (std::abs(a) > lim) {
    return std::nullopt;
  }
  if (!(x1 < x2)) return std::nullopt;
  return QLineF(x1, a + b * x1, x2, a + b * x2);
}

}  // namespace

ZRocView::ZRocView(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  // The background pixmap holds what lies beneath the widget, so a change of
  // the lines repaints this widget alone, not the group box and the window.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void ZRocView::changeEvent(QEvent* event) {
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange) background_ = QPixmap();
  QWidget::changeEvent(event);
}

void ZRocView::SetPoints(std::vector<roc::ZRocPoint> points) {
  points_ = std::move(points);
  update();
}

void ZRocView::SetFittedLine(std::optional<roc::BinormalParameters> line) {
  fitted_ = line;
  update();
}

void ZRocView::SetByEyeLine(std::optional<roc::BinormalParameters> line) {
  const bool legendChanges = Drawable(line) != Drawable(byEye_);
  byEye_ = line;
  // At a step of the fit by eye only the plot square changes: the lines and
  // the points are clipped to it. The legend changes when the line comes or goes.
  if (legendChanges)
    update();
  else
    update(FrameNow().plot.toAlignedRect());
}

ZRocView::Frame ZRocView::FrameNow() const {
  // The axes reach at least from -3 to 3 and far enough for every point.
  double extent = 3;
  for (const roc::ZRocPoint& p : points_) extent = std::max({extent, std::abs(p.zfa), std::abs(p.zhit)});
  Frame f;
  f.lim = static_cast<int>(std::ceil(extent));
  const QFontMetrics fm = fontMetrics();
  f.textH = fm.height();
  f.left = fm.horizontalAdvance(QStringLiteral("−00")) + f.textH + 12;
  const int bottom = 2 * f.textH + 10;
  const int side = std::max(40, std::min(width() - f.left - 10, height() - bottom - 10));
  f.plot = QRectF(f.left + (width() - f.left - 10 - side) / 2.0, 10 + (height() - bottom - 10 - side) / 2.0, side,
                  side);
  f.unit = side / (2.0 * f.lim);
  return f;
}

QPointF ZRocView::Frame::ToPixel(double zx, double zy) const {
  return {plot.center().x() + zx * unit, plot.center().y() - zy * unit};
}

void ZRocView::PaintBackground(const Frame& f) {
  background_ = QPixmap(size() * devicePixelRatioF());
  background_.setDevicePixelRatio(devicePixelRatioF());
  background_.fill(palette().color(QPalette::Window));
  // What the parent shows beneath this widget (a group box's panel, say), so
  // that the widget can paint opaquely and look as if it were transparent.
  if (QWidget* parent = parentWidget())
    parent->render(&background_, QPoint(), QRegion(geometry()), QWidget::DrawWindowBackground);
  QPainter painter(&background_);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setFont(font());
  const QRectF& plot = f.plot;
  const int lim = f.lim;
  const int textH = f.textH;

  painter.fillRect(plot, Qt::white);
  // Grid at every whole deviate, the axes through 0 a little darker.
  for (int v = -lim; v <= lim; ++v) {
    painter.setPen(QPen(v == 0 ? QColor(150, 150, 150) : QColor(225, 225, 225), 1));
    painter.drawLine(f.ToPixel(v, -lim), f.ToPixel(v, lim));
    painter.drawLine(f.ToPixel(-lim, v), f.ToPixel(lim, v));
    painter.setPen(palette().windowText().color());
    const QString label = v < 0 ? QStringLiteral("−%1").arg(-v) : QString::number(v);
    const QPointF bx = f.ToPixel(v, -lim);
    painter.drawText(QRectF(bx.x() - 20, bx.y() + 3, 40, textH), Qt::AlignHCenter | Qt::AlignTop, label);
    const QPointF ly = f.ToPixel(-lim, v);
    painter.drawText(QRectF(ly.x() - 44, ly.y() - textH / 2.0, 40, textH), Qt::AlignRight | Qt::AlignVCenter, label);
  }
  // Chance: z(H) = z(FA).
  painter.setPen(QPen(QColor(170, 170, 170), 1, Qt::DashLine));
  painter.drawLine(f.ToPixel(-lim, -lim), f.ToPixel(lim, lim));
  painter.setPen(QPen(palette().windowText().color(), 1));
  painter.drawRect(plot);

  // Axis titles.
  painter.drawText(QRectF(plot.left(), plot.bottom() + textH + 6, plot.width(), textH), Qt::AlignHCenter,
                   QCoreApplication::translate("UZRocView", "z(誤警報率)"));
  painter.translate(plot.left() - f.left + 4 + textH / 2.0, plot.center().y());
  painter.rotate(-90);
  painter.drawText(QRectF(-plot.height() / 2, -textH / 2.0, plot.height(), textH), Qt::AlignCenter,
                   QCoreApplication::translate("UZRocView", "z(ヒット率)"));
}

void ZRocView::PaintLegend(const Frame& f, bool fitted, bool byEye) {
  struct Entry {
    QString text;
    QColor colour;
    bool point;
    bool shown;
  };
  const Entry entries[] = {{QCoreApplication::translate("UZRocView", "観測点"), PointColour(3), true, true},
                           {QCoreApplication::translate("UZRocView", "最尤推定"), kFittedColour, false, fitted},
                           {QCoreApplication::translate("UZRocView", "目測"), kByEyeColour, false, byEye}};
  const QFontMetrics fm = fontMetrics();
  int widest = 0;
  int rows = 0;
  for (const Entry& e : entries) {
    if (!e.shown) continue;
    widest = std::max(widest, fm.horizontalAdvance(e.text));
    ++rows;
  }
  const QSize size(widest + 41, rows * f.textH + 9);
  legend_ = QPixmap(size * devicePixelRatioF());
  legend_.setDevicePixelRatio(devicePixelRatioF());
  legend_.fill(Qt::transparent);
  QPainter painter(&legend_);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setFont(font());
  const QRectF box(0.5, 0.5, widest + 40, rows * f.textH + 8);
  painter.setPen(QPen(QColor(200, 200, 200), 1));
  painter.setBrush(QColor(255, 255, 255, 230));
  painter.drawRect(box);
  painter.setBrush(Qt::NoBrush);
  double y = box.top() + 4 + f.textH / 2.0;
  for (const Entry& e : entries) {
    if (!e.shown) continue;
    painter.setPen(QPen(e.colour, 2));
    if (e.point) {
      painter.drawEllipse(QPointF(box.left() + 16, y), 4, 4);
    } else {
      painter.drawLine(QPointF(box.left() + 6, y), QPointF(box.left() + 26, y));
    }
    painter.setPen(palette().windowText().color());
    painter.drawText(QRectF(box.left() + 32, y - f.textH / 2.0, widest + 4, f.textH), Qt::AlignLeft | Qt::AlignVCenter,
                     e.text);
    y += f.textH;
  }
}

void ZRocView::paintEvent(QPaintEvent*) {
  const Frame f = FrameNow();
  // The axes, the grid, the labels and the legend change rarely: they are
  // drawn once into pixmaps, so that a change of the lines repaints cheaply.
  const std::tuple<QRect, int, qreal> backgroundKey{geometry(), f.lim, devicePixelRatioF()};
  if (backgroundKey != backgroundKey_ || background_.isNull()) {
    PaintBackground(f);
    backgroundKey_ = backgroundKey;
  }
  const bool fitted = Drawable(fitted_);
  const bool byEye = Drawable(byEye_);
  const std::tuple<bool, bool, int, qreal> legendKey{fitted, byEye, f.textH, devicePixelRatioF()};
  if (legendKey != legendKey_ || legend_.isNull()) {
    PaintLegend(f, fitted, byEye);
    legendKey_ = legendKey;
  }

  QPainter painter(this);
  painter.drawPixmap(0, 0, background_);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.save();
  painter.setClipRect(f.plot);
  auto drawModel = [&](const std::optional<roc::BinormalParameters>& l, const QPen& pen) {
    if (!Drawable(l)) return;
    if (const auto seg = ClipLine(l->d / l->R, 1 / l->R, f.lim)) {
      painter.setPen(pen);
      painter.drawLine(f.ToPixel(seg->x1(), seg->y1()), f.ToPixel(seg->x2(), seg->y2()));
    }
  };
  drawModel(fitted_, QPen(kFittedColour, 2));
  drawModel(byEye_, QPen(kByEyeColour, 1.5));
  painter.setBrush(Qt::NoBrush);
  for (const roc::ZRocPoint& p : points_) {
    painter.setPen(QPen(PointColour(p.p), 2));
    painter.drawEllipse(f.ToPixel(p.zfa, p.zhit), 5, 5);
  }
  painter.restore();
  painter.drawPixmap(QPointF(f.plot.left() + 6, f.plot.top() + 6), legend_);
}
