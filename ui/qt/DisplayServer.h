#pragma once
#include <QImage>
#include <QPoint>
#include <chrono>
#include <memory>

class QWidget;

namespace ui {

using SteadyTime = std::chrono::steady_clock::time_point;

// What the X server has of the program's windows, and when. Off X (Qt's
// head-less platform in tests, Wayland) there is no server to ask: OnX()
// is false and the rest gives what the program itself knows.
bool OnX();

// Paints what `widget` (and anything else of its window) has pending now and
// sends it to the display server, without waiting for the event loop.
void PaintNow(QWidget& widget);

// The display server's acknowledgement of what was sent: `at` is when its
// answer arrived, `roundTrip` how long a further empty round trip took just
// after (what an answer costs in travel and wake-ups).
struct Acknowledgement {
  SteadyTime at;
  std::chrono::nanoseconds roundTrip{0};
};

// The length of one frame of the screen `widget` is on, where the screen
// reports its refresh rate; zero where it does not.
std::chrono::nanoseconds FramePeriod(const QWidget& widget);

// A window's coming look in one rectangle, uploaded to the display server
// ahead of time so that the moment it is due costs one copy on the server,
// not a repaint and a transfer. Made on the user-interface thread; Show may
// run on another thread.
class PreparedLook {
 public:
  // `picture` is what the rectangle at `at` (client coordinates of the window
  // of `widget`) will show, in the window's device pixels (its device pixel
  // ratio set). Null off X, where the rectangle does not lie on whole device
  // pixels of a scaled display, or for a window whose pixel format the
  // picture does not match: the caller then lets Qt paint the change.
  static std::shared_ptr<PreparedLook> Make(QWidget& widget, const QImage& picture, QPoint at);
  ~PreparedLook();
  PreparedLook(const PreparedLook&) = delete;
  PreparedLook& operator=(const PreparedLook&) = delete;

  // Waits for the server's acknowledgement of everything the program has
  // sent so far.
  Acknowledgement Acknowledge() const;
  // Puts the look on the window and waits for the server's acknowledgement;
  // returns when that came.
  SteadyTime Show() const;

 private:
  PreparedLook() = default;
  void* connection_ = nullptr;
  std::uint32_t window_ = 0, pixmap_ = 0, gc_ = 0;
  QPoint at_;
  int width_ = 0, height_ = 0;
};

}  // namespace ui
