#pragma once
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>

#include "TimingThread.h"

namespace ui {

// A timer on the user-interface thread. Enabled (default true) and Interval
// (default 1000 ms) restart it only when the value changes; with interval 0
// or no handler it never fires. Events that fall due while a handler runs do
// not pile up.
class Timer {
 public:
  Timer();
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  bool Enabled() const { return enabled_; }
  int Interval() const { return interval_; }
  void SetEnabled(bool enabled);
  void SetInterval(int interval);
  void SetOnTimer(std::function<void()> handler);
  // Enables the timer for one event that the timing thread brings, exactly
  // job.length after the moment job.begin returns, right after job.atDue ran
  // there; the interval does not count for it. Disabling (or any restart)
  // before the handler runs drops the event.
  void StartTimed(timing::Job job);
  bool Running() const { return timer_.isActive() || timed_ != 0; }
  // Milliseconds until the next event, -1 when stopped.
  int RemainingTime() const { return timer_.remainingTime(); }

 private:
  void Restart();

  QTimer timer_;
  bool enabled_ = true;
  int interval_ = 1000;
  std::function<void()> onTimer_;
  std::uint64_t timed_ = 0;  // the timing thread's job, while it is pending
  std::uint64_t timedStarts_ = 0;  // tells a dropped job's late event from the current one's
  // Cleared when the timer goes, so that an event still on its way finds no timer.
  std::shared_ptr<Timer*> self_ = std::make_shared<Timer*>(this);
};

}  // namespace ui
