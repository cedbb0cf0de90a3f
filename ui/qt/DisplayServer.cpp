#include "DisplayServer.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <cstdlib>

namespace ui {

namespace {

xcb_connection_t* Connection() {
  auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (app == nullptr) return nullptr;
  const auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
  return x11 != nullptr ? x11->connection() : nullptr;
}

// One request with an answer: the server has handled everything sent before it.
void RoundTrip(xcb_connection_t* c) { std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }

// The window's visual: 8 bits a channel in the low three bytes of 32-bit
// pixels, least significant byte first, as a QImage::Format_RGB32 holds them.
bool TakesRgb32(xcb_connection_t* c, xcb_window_t window, std::uint8_t depth) {
  const xcb_setup_t* setup = xcb_get_setup(c);
  if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return false;
  bool format = false;
  for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f)) {
    if (f.data->depth == depth) format = f.data->bits_per_pixel == 32;
  }
  if (!format) return false;
  xcb_get_window_attributes_reply_t* attributes =
      xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr);
  if (attributes == nullptr) return false;
  const xcb_visualid_t visual = attributes->visual;
  std::free(attributes);
  for (auto s = xcb_setup_roots_iterator(setup); s.rem; xcb_screen_next(&s)) {
    for (auto d = xcb_screen_allowed_depths_iterator(s.data); d.rem; xcb_depth_next(&d)) {
      if (d.data->depth != depth) continue;
      for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v)) {
        if (v.data->visual_id == visual) {
          return v.data->red_mask == 0xFF0000 && v.data->green_mask == 0xFF00 && v.data->blue_mask == 0xFF;
        }
      }
    }
  }
  return false;
}

}  // namespace

bool OnX() { return Connection() != nullptr; }

void PaintNow(QWidget& widget) {
  // repaint() paints every pending change of the window and flushes it to
  // the platform at once; on X that queues the put of the pixels.
  widget.repaint();
  if (xcb_connection_t* c = Connection()) xcb_flush(c);
}

Acknowledgement PreparedLook::Acknowledge() const {
  auto* c = static_cast<xcb_connection_t*>(connection_);
  RoundTrip(c);
  const SteadyTime at = std::chrono::steady_clock::now();
  RoundTrip(c);
  return {at, std::chrono::steady_clock::now() - at};
}

std::chrono::nanoseconds FramePeriod(const QWidget& widget) {
  const QScreen* screen = widget.screen();
  const double hz = screen != nullptr ? screen->refreshRate() : 0;
  if (!(hz >= 1 && hz <= 1000)) return {};
  return std::chrono::nanoseconds(static_cast<long long>(1e9 / hz + 0.5));
}

std::shared_ptr<PreparedLook> PreparedLook::Make(QWidget& widget, const QImage& picture, QPoint at) {
  xcb_connection_t* c = Connection();
  QWidget* top = widget.window();
  if (c == nullptr || picture.isNull()) return nullptr;
  // On a scaled screen the window's pixels are device pixels: the look must
  // have the window's ratio and lie on whole device pixels, as Qt paints it.
  const qreal ratio = top->devicePixelRatioF();
  const QSize size = (QSizeF(picture.size()) / ratio).toSize();  // in the window's coordinates
  const QRectF place(QPointF(at) * ratio, QSizeF(size) * ratio);
  if (picture.devicePixelRatio() != ratio || QRectF(place.toRect()) != place || place.size() != QSizeF(picture.size())) {
    return nullptr;
  }
  const QImage pixels = picture.convertToFormat(QImage::Format_RGB32);
  const auto window = static_cast<xcb_window_t>(top->winId());
  xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
  if (geometry == nullptr) return nullptr;
  const std::uint8_t depth = geometry->depth;
  std::free(geometry);
  if ((depth != 24 && depth != 32) || !TakesRgb32(c, window, depth)) return nullptr;

  std::shared_ptr<PreparedLook> look(new PreparedLook);
  look->connection_ = c;
  look->window_ = window;
  look->at_ = place.topLeft().toPoint();
  look->width_ = pixels.width();
  look->height_ = pixels.height();
  look->pixmap_ = xcb_generate_id(c);
  xcb_create_pixmap(c, depth, look->pixmap_, window, static_cast<std::uint16_t>(look->width_),
                    static_cast<std::uint16_t>(look->height_));
  look->gc_ = xcb_generate_id(c);
  const std::uint32_t noExposures = 0;
  xcb_create_gc(c, look->gc_, look->pixmap_, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
  // Bands of rows that each fit in one request.
  const std::uint32_t maxBytes = xcb_get_maximum_request_length(c) * 4 - 64;
  const int stride = static_cast<int>(pixels.bytesPerLine());
  const int rows = std::max(1, static_cast<int>(maxBytes / static_cast<std::uint32_t>(stride)));
  for (int y = 0; y < look->height_; y += rows) {
    const int n = std::min(rows, look->height_ - y);
    xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, look->pixmap_, look->gc_, static_cast<std::uint16_t>(look->width_),
                  static_cast<std::uint16_t>(n), 0, static_cast<std::int16_t>(y), 0, depth,
                  static_cast<std::uint32_t>(n * stride), pixels.constScanLine(y));
  }
  xcb_flush(c);
  return look;
}

PreparedLook::~PreparedLook() {
  // The connection lives as long as the application; a look outliving it
  // has nothing left to free.
  if (QCoreApplication::instance() == nullptr) return;
  auto* c = static_cast<xcb_connection_t*>(connection_);
  xcb_free_gc(c, gc_);
  xcb_free_pixmap(c, pixmap_);
  xcb_flush(c);
}

SteadyTime PreparedLook::Show() const {
  auto* c = static_cast<xcb_connection_t*>(connection_);
  xcb_copy_area(c, pixmap_, window_, gc_, 0, 0, static_cast<std::int16_t>(at_.x()), static_cast<std::int16_t>(at_.y()),
                static_cast<std::uint16_t>(width_), static_cast<std::uint16_t>(height_));
  RoundTrip(c);
  return std::chrono::steady_clock::now();
}

}  // namespace ui
