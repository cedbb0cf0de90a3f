#include "UZRocView.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

const QColor kPointColours[] = {QColor(0, 128, 0), QColor(128, 0, 0), QColor(255, 0, 0)};
const QColor kFittedColour(64, 64, 64);
const QColor kByEyeColour(0, 0, 255);

bool Drawable(const std::optional<ZRocView::Line>& l) {
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
}

void ZRocView::SetPoints(std::vector<roc::ZRocPoint> points) {
  points_ = std::move(points);
  update();
}

void ZRocView::SetFittedLine(std::optional<Line> line) {
  fitted_ = line;
  update();
}

void ZRocView::SetByEyeLine(std::optional<Line> line) {
  byEye_ = line;
  update();
}

void ZRocView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(rect(), palette().window());

  // The axes reach at least from -3 to 3 and far enough for every point.
  double extent = 3;
  for (const roc::ZRocPoint& p : points_) extent = std::max({extent, std::abs(p.zfa), std::abs(p.zhit)});
  const int lim = static_cast<int>(std::ceil(extent + 0.2));

  const QFontMetrics fm = painter.fontMetrics();
  const int textH = fm.height();
  const int left = fm.horizontalAdvance(QStringLiteral("−00")) + textH + 12;
  const int bottom = 2 * textH + 10;
  const int side = std::max(40, std::min(width() - left - 10, height() - bottom - 10));
  const QRectF plot(left + (width() - left - 10 - side) / 2.0, 10 + (height() - bottom - 10 - side) / 2.0, side, side);
  const double unit = side / (2.0 * lim);
  auto toPixel = [&](double zx, double zy) {
    return QPointF(plot.center().x() + zx * unit, plot.center().y() - zy * unit);
  };

  painter.fillRect(plot, Qt::white);
  // Grid at every whole deviate, the axes through 0 a little darker.
  for (int v = -lim; v <= lim; ++v) {
    painter.setPen(QPen(v == 0 ? QColor(150, 150, 150) : QColor(225, 225, 225), 1));
    painter.drawLine(toPixel(v, -lim), toPixel(v, lim));
    painter.drawLine(toPixel(-lim, v), toPixel(lim, v));
    painter.setPen(palette().windowText().color());
    const QString label = v < 0 ? QStringLiteral("−%1").arg(-v) : QString::number(v);
    const QPointF bx = toPixel(v, -lim);
    painter.drawText(QRectF(bx.x() - 20, bx.y() + 3, 40, textH), Qt::AlignHCenter | Qt::AlignTop, label);
    const QPointF ly = toPixel(-lim, v);
    painter.drawText(QRectF(ly.x() - 44, ly.y() - textH / 2.0, 40, textH), Qt::AlignRight | Qt::AlignVCenter, label);
  }
  painter.setPen(QPen(palette().windowText().color(), 1));
  painter.drawRect(plot);

  // Axis titles.
  painter.drawText(QRectF(plot.left(), plot.bottom() + textH + 6, plot.width(), textH), Qt::AlignHCenter,
                   QStringLiteral("z(誤警報率)"));
  painter.save();
  painter.translate(plot.left() - left + 4 + textH / 2.0, plot.center().y());
  painter.rotate(-90);
  painter.drawText(QRectF(-plot.height() / 2, -textH / 2.0, plot.height(), textH), Qt::AlignCenter,
                   QStringLiteral("z(ヒット率)"));
  painter.restore();

  painter.save();
  painter.setClipRect(plot);
  // Chance: z(H) = z(FA).
  painter.setPen(QPen(QColor(170, 170, 170), 1, Qt::DashLine));
  painter.drawLine(toPixel(-lim, -lim), toPixel(lim, lim));
  auto drawModel = [&](const std::optional<Line>& l, const QPen& pen) {
    if (!Drawable(l)) return;
    if (const auto seg = ClipLine(l->d / l->R, 1 / l->R, lim)) {
      painter.setPen(pen);
      painter.drawLine(toPixel(seg->x1(), seg->y1()), toPixel(seg->x2(), seg->y2()));
    }
  };
  drawModel(fitted_, QPen(kFittedColour, 2));
  drawModel(byEye_, QPen(kByEyeColour, 1.5));
  for (const roc::ZRocPoint& p : points_) {
    const QColor colour = kPointColours[std::clamp(p.p, 1, 3) - 1];
    painter.setPen(QPen(colour, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(toPixel(p.zfa, p.zhit), 5, 5);
  }
  painter.restore();

  // Legend in the upper left corner of the plot.
  struct Entry {
    QString text;
    QColor colour;
    bool point;
    bool shown;
  };
  const Entry entries[] = {{QStringLiteral("観測点"), kPointColours[2], true, true},
                           {QStringLiteral("最尤推定"), kFittedColour, false, Drawable(fitted_)},
                           {QStringLiteral("目測"), kByEyeColour, false, Drawable(byEye_)}};
  int widest = 0;
  int rows = 0;
  for (const Entry& e : entries) {
    if (!e.shown) continue;
    widest = std::max(widest, fm.horizontalAdvance(e.text));
    ++rows;
  }
  const QRectF box(plot.left() + 6, plot.top() + 6, widest + 40, rows * textH + 8);
  painter.setPen(QPen(QColor(200, 200, 200), 1));
  painter.setBrush(QColor(255, 255, 255, 230));
  painter.drawRect(box);
  painter.setBrush(Qt::NoBrush);
  double y = box.top() + 4 + textH / 2.0;
  for (const Entry& e : entries) {
    if (!e.shown) continue;
    if (e.point) {
      painter.setPen(QPen(e.colour, 2));
      painter.drawEllipse(QPointF(box.left() + 16, y), 4, 4);
    } else {
      painter.setPen(QPen(e.colour, 2));
      painter.drawLine(QPointF(box.left() + 6, y), QPointF(box.left() + 26, y));
    }
    painter.setPen(palette().windowText().color());
    painter.drawText(QRectF(box.left() + 32, y - textH / 2.0, widest + 4, textH), Qt::AlignLeft | Qt::AlignVCenter,
                     e.text);
    y += textH;
  }
}
