#include "windows/ClassPlot.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>
#include <cmath>

#include "stats/NormalDouble.h"

namespace {

constexpr double kZLimit = 3;     // the z-ROC's axes run from -3 to 3
constexpr int kCurveSamples = 64;  // steps of z(FA) along a ROC curve

// Where the plot lies in the area: the square of the data, with room for the
// tick labels and the axis titles to its left and below.
struct Frame {
  QRectF plot;
  ClassPlotKind kind;
  double textH;
  // Data to pixels: rates in the ROC, deviates in the z-ROC.
  QPointF ToPixel(double x, double y) const {
    if (kind == ClassPlotKind::kRoc) return {plot.left() + x * plot.width(), plot.bottom() - y * plot.height()};
    return {plot.center().x() + x * plot.width() / (2 * kZLimit), plot.center().y() - y * plot.height() / (2 * kZLimit)};
  }
};

Frame MakeFrame(const QRectF& area, ClassPlotKind kind, const QFontMetrics& fm) {
  const double textH = fm.height();
  const double left = fm.horizontalAdvance(QStringLiteral("0.0")) + textH + 14;
  const double bottom = 2 * textH + 12;
  const double side = std::max(40.0, std::min(area.width() - left - 12, area.height() - bottom - 12));
  const QRectF plot(area.left() + left + (area.width() - left - 12 - side) / 2, area.top() + 12, side, side);
  return {plot, kind, textH};
}

bool Drawable(const ClassPlotData::Line& l) { return std::isfinite(l.a) && std::isfinite(l.b) && l.b > 0; }

// The curve of z(H) = a + b z(FA): in the ROC the rates from (0, 0) to (1, 1);
// in the z-ROC the line's part inside the square.
QPolygonF Curve(const Frame& f, const ClassPlotData::Line& l) {
  QPolygonF polygon;
  if (!Drawable(l)) return polygon;
  if (f.kind == ClassPlotKind::kRoc) {
    polygon.reserve(kCurveSamples + 3);
    polygon << f.ToPixel(0, 0);
    for (int i = 0; i <= kCurveSamples; ++i) {
      const double z = -4.5 + 9.0 * i / kCurveSamples;
      polygon << f.ToPixel(roc::StandardNormalCdf(z), roc::StandardNormalCdf(l.a + l.b * z));
    }
    polygon << f.ToPixel(1, 1);
    return polygon;
  }
  double x1 = std::max(-kZLimit, (-kZLimit - l.a) / l.b);
  double x2 = std::min(kZLimit, (kZLimit - l.a) / l.b);
  if (x1 < x2) polygon << f.ToPixel(x1, l.a + l.b * x1) << f.ToPixel(x2, l.a + l.b * x2);
  return polygon;
}

// The observed points in the frame's axes; a point whose deviate is not
// finite lies outside every z-ROC and is left out.
std::vector<QPointF> Points(const Frame& f, const std::vector<roc::RatePoint>& points) {
  std::vector<QPointF> pixels;
  if (f.kind == ClassPlotKind::kRoc) {
    for (const roc::RatePoint& p : points) pixels.push_back(f.ToPixel(p.fa, p.hit));
    return pixels;
  }
  for (const roc::ZRocPoint& p : roc::ToNormalDeviates(points).points) pixels.push_back(f.ToPixel(p.zfa, p.zhit));
  return pixels;
}

void PaintAxes(QPainter& painter, const Frame& f, const QPalette& palette) {
  const QRectF& plot = f.plot;
  painter.fillRect(plot, Qt::white);
  const QColor text = palette.color(QPalette::WindowText);
  const bool roc = f.kind == ClassPlotKind::kRoc;
  const int lines = roc ? 10 : static_cast<int>(2 * kZLimit);
  for (int i = 0; i <= lines; ++i) {
    const double v = roc ? i / 10.0 : i - kZLimit;
    const double lo = roc ? 0 : -kZLimit, hi = roc ? 1 : kZLimit;
    const bool axis = !roc && v == 0;
    painter.setPen(QPen(axis ? QColor(150, 150, 150) : QColor(228, 228, 228), 1));
    painter.drawLine(f.ToPixel(v, lo), f.ToPixel(v, hi));
    painter.drawLine(f.ToPixel(lo, v), f.ToPixel(hi, v));
    if (roc && i % 2 != 0) continue;
    painter.setPen(text);
    const QString label = roc ? QString::number(v, 'f', 1)
                              : (v < 0 ? QStringLiteral("−%1").arg(-v) : QString::number(v));
    const QPointF bx = f.ToPixel(v, lo);
    painter.drawText(QRectF(bx.x() - 20, bx.y() + 3, 40, f.textH), Qt::AlignHCenter | Qt::AlignTop, label);
    const QPointF ly = f.ToPixel(lo, v);
    painter.drawText(QRectF(ly.x() - 44, ly.y() - f.textH / 2, 40, f.textH), Qt::AlignRight | Qt::AlignVCenter, label);
  }
  // Chance.
  painter.setPen(QPen(QColor(170, 170, 170), 1, Qt::DashLine));
  painter.drawLine(f.ToPixel(roc ? 0 : -kZLimit, roc ? 0 : -kZLimit), f.ToPixel(roc ? 1 : kZLimit, roc ? 1 : kZLimit));
  painter.setPen(QPen(text, 1));
  painter.drawRect(plot);
  painter.drawText(QRectF(plot.left(), plot.bottom() + f.textH + 6, plot.width(), f.textH), Qt::AlignHCenter,
                   roc ? QCoreApplication::translate("ClassPlot", "誤警報率")
                       : QCoreApplication::translate("ClassPlot", "z(誤警報率)"));
  painter.save();
  painter.translate(plot.left() - f.textH - 30, plot.center().y());
  painter.rotate(-90);
  painter.drawText(QRectF(-plot.height() / 2, -f.textH / 2, plot.height(), f.textH), Qt::AlignCenter,
                   roc ? QCoreApplication::translate("ClassPlot", "ヒット率")
                       : QCoreApplication::translate("ClassPlot", "z(ヒット率)"));
  painter.restore();
}

QColor Faded(QColor c, int alpha) {
  c.setAlpha(alpha);
  return c;
}

void PaintSessions(QPainter& painter, const Frame& f, const ClassPlotData& data) {
  painter.setBrush(Qt::NoBrush);
  for (const ClassPlotData::Session& s : data.sessions) {
    if (!s.fit) continue;
    painter.setPen(QPen(Faded(data.designs[s.design].colour, 70), 0.8));
    painter.drawPolyline(Curve(f, *s.fit));
  }
  painter.setPen(Qt::NoPen);
  for (const ClassPlotData::Session& s : data.sessions) {
    painter.setBrush(Faded(data.designs[s.design].colour, 150));
    for (const QPointF& p : Points(f, s.points)) painter.drawEllipse(p, 2.6, 2.6);
  }
  painter.setBrush(Qt::NoBrush);
}

QPen PooledPen(const QColor& c) { return QPen(c, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }
QPen AveragedPen(const QColor& c) {
  QPen pen(c.darker(125), 2.2, Qt::CustomDashLine, Qt::FlatCap, Qt::RoundJoin);
  pen.setDashPattern({4, 2.5});
  return pen;
}

void PaintDesignCurves(QPainter& painter, const Frame& f, const ClassPlotData& data) {
  for (const ClassPlotData::Design& d : data.designs) {
    if (d.pooled) {
      // A white rim lets the thick curve stand out of the cloud of thin ones.
      painter.setPen(QPen(Qt::white, 5.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      painter.drawPolyline(Curve(f, *d.pooled));
      painter.setPen(PooledPen(d.colour));
      painter.drawPolyline(Curve(f, *d.pooled));
    }
  }
  for (const ClassPlotData::Design& d : data.designs) {
    if (!d.averaged) continue;
    painter.setPen(AveragedPen(d.colour));
    painter.drawPolyline(Curve(f, *d.averaged));
  }
}

void PaintHighlight(QPainter& painter, const Frame& f, const ClassPlotData& data, int highlighted) {
  if (highlighted < 0 || highlighted >= static_cast<int>(data.sessions.size())) return;
  const ClassPlotData::Session& s = data.sessions[highlighted];
  painter.save();
  painter.setClipRect(f.plot.adjusted(-6, -6, 6, 6));
  if (s.fit) {
    painter.setPen(QPen(Qt::black, 2.4));
    painter.drawPolyline(Curve(f, *s.fit));
  }
  painter.setPen(QPen(Qt::black, 2));
  painter.setBrush(data.designs[s.design].colour);
  for (const QPointF& p : Points(f, s.points)) painter.drawEllipse(p, 5.5, 5.5);
  painter.restore();
}

void PaintLegend(QPainter& painter, const Frame& f, const ClassPlotData& data, const QPalette& palette) {
  struct Entry {
    QString text;
    QColor colour;
    int style;  // 0 points and thin curve, 1 pooled, 2 averaged
  };
  std::vector<Entry> entries{
      {QCoreApplication::translate("ClassPlot", "各セッション（点と細線）"), QColor(110, 110, 110), 0}};
  for (const ClassPlotData::Design& d : data.designs) {
    entries.push_back({d.name + QCoreApplication::translate("ClassPlot", ": 合算の適合"), d.colour, 1});
    entries.push_back({d.name + QCoreApplication::translate("ClassPlot", ": 平均 a, b"), d.colour, 2});
  }
  const QFontMetrics fm = painter.fontMetrics();
  double widest = 0;
  for (const Entry& e : entries) widest = std::max<double>(widest, fm.horizontalAdvance(e.text));
  const double w = widest + 46, h = entries.size() * f.textH + 10;
  const QRectF box(f.plot.right() - w - 8, f.plot.bottom() - h - 8, w, h);
  painter.setPen(QPen(QColor(200, 200, 200), 1));
  painter.setBrush(QColor(255, 255, 255, 235));
  painter.drawRect(box);
  painter.setBrush(Qt::NoBrush);
  double y = box.top() + 5 + f.textH / 2;
  for (const Entry& e : entries) {
    const QPointF a(box.left() + 6, y), b(box.left() + 32, y);
    if (e.style == 0) {
      painter.setPen(QPen(Faded(e.colour, 120), 0.8));
      painter.drawLine(a, b);
      painter.setPen(Qt::NoPen);
      painter.setBrush(Faded(e.colour, 180));
      painter.drawEllipse(QPointF(box.left() + 19, y), 2.6, 2.6);
      painter.setBrush(Qt::NoBrush);
    } else {
      painter.setPen(e.style == 1 ? PooledPen(e.colour) : AveragedPen(e.colour));
      painter.drawLine(a, b);
    }
    painter.setPen(palette.color(QPalette::WindowText));
    painter.drawText(QRectF(box.left() + 38, y - f.textH / 2, widest + 4, f.textH), Qt::AlignLeft | Qt::AlignVCenter,
                     e.text);
    y += f.textH;
  }
}

void PaintBase(QPainter& painter, const Frame& f, const ClassPlotData& data, const QPalette& palette) {
  painter.setRenderHint(QPainter::Antialiasing);
  PaintAxes(painter, f, palette);
  painter.save();
  painter.setClipRect(f.plot);
  PaintSessions(painter, f, data);
  PaintDesignCurves(painter, f, data);
  painter.restore();
}

}  // namespace

void PaintClassPlot(QPainter& painter, const QRectF& area, const ClassPlotData& data, ClassPlotKind kind,
                    int highlighted) {
  const Frame f = MakeFrame(area, kind, painter.fontMetrics());
  const QPalette palette;
  PaintBase(painter, f, data, palette);
  PaintHighlight(painter, f, data, highlighted);
  PaintLegend(painter, f, data, palette);
}

ClassPlotView::ClassPlotView(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ClassPlotView::SetData(ClassPlotData data) {
  data_ = std::move(data);
  update();
}

void ClassPlotView::SetKind(ClassPlotKind kind) {
  kind_ = kind;
  update();
}

void ClassPlotView::SetHighlighted(int session) {
  highlighted_ = session;
  update();
}

QImage ClassPlotView::Render(QSize size) const {
  QImage image(size, QImage::Format_RGB32);
  image.fill(palette().color(QPalette::Window));
  QPainter painter(&image);
  painter.setFont(font());
  PaintClassPlot(painter, QRectF(QPointF(0, 0), size), data_, kind_, highlighted_);
  return image;
}

void ClassPlotView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setFont(font());
  painter.setRenderHint(QPainter::Antialiasing);
  PaintClassPlot(painter, QRectF(rect()), data_, kind_, highlighted_);
}
