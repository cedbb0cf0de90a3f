#include "Image.h"

#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QWindow>

namespace ui {

namespace {

// The device pixel ratio the widget is shown at, or will be: its window's,
// else its screen's.
double RatioOf(const QWidget& w) {
  if (const QWindow* window = w.window()->windowHandle()) return window->devicePixelRatio();
  const QScreen* screen = w.screen();
  return screen != nullptr ? screen->devicePixelRatio() : 1.0;
}

QImage ImageOf(const Surface& s) {
  if (s.DeviceWidth() == 0 || s.DeviceHeight() == 0) return {};
  QImage image(reinterpret_cast<const uchar*>(s.Bits()), s.DeviceWidth(), s.DeviceHeight(), s.DeviceWidth() * 4,
               QImage::Format_RGB32);
  image.setDevicePixelRatio(s.Scale());
  return image;
}

}  // namespace

Image::Image(QWidget* parent, int left, int top, int width, int height) : Control<QWidget>(parent) {
  setGeometry(left, top, width, height);
  setAttribute(Qt::WA_OpaquePaintEvent);
  // Keep buttons, edits and panels of the same container above every image.
  if (parent) {
    for (QObject* o : parent->children()) {
      auto* w = qobject_cast<QWidget*>(o);
      if (w && w != this && !dynamic_cast<Image*>(w)) w->raise();
    }
  }
}

Image::~Image() = default;

Surface& Image::Canvas() {
  if (!surface_) {
    surface_ = std::make_unique<Surface>(std::max(0, width()), std::max(0, height()), RatioOf(*this));
    surface_->SetChangeObserver([this] { update(); });
  }
  return *surface_;
}

QImage Image::Picture() const { return surface_ ? ImageOf(*surface_) : QImage(); }

QImage Image::PlainPicture() const {
  if (!surface_) return {};
  if (surface_->Scale() == 1) return Picture().copy();
  const Surface plain = surface_->Redrawn(1);
  return ImageOf(plain).copy();
}

void Image::FollowRatio() {
  if (surface_ && surface_->Scale() != RatioOf(*this)) surface_->SetScale(RatioOf(*this));
}

bool Image::event(QEvent* e) {
  // A move to a screen of another device pixel ratio (and, in later Qt, a
  // change of the ratio itself) repaints at the new one.
  bool ratio = e->type() == QEvent::ScreenChangeInternal;
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
  ratio = ratio || e->type() == QEvent::DevicePixelRatioChange;
#endif
  if (ratio) {
    FollowRatio();
    update();
  }
  return Control<QWidget>::event(e);
}

void Image::paintEvent(QPaintEvent*) {
  FollowRatio();
  const QImage picture = Picture();
  if (picture.isNull()) return;
  QPainter painter(this);
  painter.drawImage(0, 0, picture);
}

}  // namespace ui
