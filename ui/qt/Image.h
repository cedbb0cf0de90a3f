#pragma once
#include <QImage>
#include <QWidget>
#include <memory>

#include "Control.h"
#include "ui/Surface.h"

namespace ui {

// Shows its drawing surface 1:1 at its top-left corner. The surface is made at
// its first use, with the control's size at that moment, and keeps that size.
// Its raster has the screen's device pixels: the surface is drawn again at
// the new ratio when the window comes to a screen of another one. A change of
// its pixels schedules a repaint, so the screen shows the state in which a
// handler leaves it. A later image covers an earlier one; other controls lie
// above images.
class Image : public Control<QWidget> {
 public:
  Image(QWidget* parent, int left, int top, int width, int height);
  ~Image() override;

  Surface& Canvas();
  // The surface's device pixels as an image with their device pixel ratio (a
  // view, valid while the surface is unchanged); empty before the first use
  // of the canvas.
  QImage Picture() const;
  // The same drawing at one device pixel per pixel, as the image of a save.
  QImage PlainPicture() const;

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  // The surface at the widget's present device pixel ratio.
  void FollowRatio();

  std::unique_ptr<Surface> surface_;
};

}  // namespace ui
