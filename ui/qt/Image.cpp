#include "Image.h"

#include <QImage>
#include <QPainter>

namespace ui {

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
    surface_ = std::make_unique<Surface>(std::max(0, width()), std::max(0, height()));
    surface_->SetChangeObserver([this] { update(); });
  }
  return *surface_;
}

QImage Image::Picture() const {
  if (!surface_ || surface_->Width() == 0 || surface_->Height() == 0) return {};
  return QImage(reinterpret_cast<const uchar*>(surface_->Bits()), surface_->Width(), surface_->Height(),
                surface_->Width() * 4, QImage::Format_RGB32);
}

void Image::paintEvent(QPaintEvent*) {
  const QImage picture = Picture();
  if (picture.isNull()) return;
  QPainter painter(this);
  painter.drawImage(0, 0, picture);
}

}  // namespace ui
