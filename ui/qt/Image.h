#pragma once
#include <QImage>
#include <QWidget>
#include <memory>

#include "Control.h"
#include "ui/Surface.h"

namespace ui {

// Shows its drawing surface 1:1 at its top-left corner. The surface is made at
// its first use, with the control's size at that moment, and keeps that size.
// A change of its pixels schedules a repaint, so the screen shows the state in
// which a handler leaves it. A later image covers an earlier one; other
// controls lie above images.
class Image : public Control<QWidget> {
 public:
  Image(QWidget* parent, int left, int top, int width, int height);
  ~Image() override;

  Surface& Canvas();
  // The surface's pixels as an image (a view, valid while the surface is
  // unchanged); empty before the first use of the canvas.
  QImage Picture() const;

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  std::unique_ptr<Surface> surface_;
};

}  // namespace ui
