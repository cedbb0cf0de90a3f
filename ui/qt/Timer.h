#pragma once
#include <QTimer>
#include <functional>

namespace ui {

// A timer on the user-interface thread. Enabled (default true) and Interval
// (default 1000 ms) restart it only when the value changes; with interval 0
// or no handler it never fires. Events that fall due while a handler runs do
// not pile up.
class Timer {
 public:
  Timer();

  bool Enabled() const { return enabled_; }
  int Interval() const { return interval_; }
  void SetEnabled(bool enabled);
  void SetInterval(int interval);
  void SetOnTimer(std::function<void()> handler);
  bool Running() const { return timer_.isActive(); }
  // Milliseconds until the next event, -1 when stopped.
  int RemainingTime() const { return timer_.remainingTime(); }

 private:
  void Restart();

  QTimer timer_;
  bool enabled_ = true;
  int interval_ = 1000;
  std::function<void()> onTimer_;
};

}  // namespace ui
