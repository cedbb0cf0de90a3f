#include "Panel.h"

#include <QPainter>

#include "ControlFont.h"
#include "QtColour.h"

namespace ui {

Panel::Panel(QWidget* parent, const std::string& caption, int left, int top, int width, int height)
    : Control<QFrame>(parent), caption_(QString::fromStdString(caption)) {
  setGeometry(left, top, width, height);
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(1);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, ToQColor(clBtnFace));
  setPalette(pal);
  setAutoFillBackground(true);
}

void Panel::paintEvent(QPaintEvent* e) {
  QFrame::paintEvent(e);
  QPainter painter(this);
  painter.drawText(rect(), Qt::AlignCenter, caption_);
}

}  // namespace ui
