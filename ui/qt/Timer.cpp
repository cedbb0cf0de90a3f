#include "Timer.h"

#include "Application.h"

namespace ui {

Timer::Timer() {
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, [this] { Application::Invoke(onTimer_); });
}

Timer::~Timer() {
  *self_ = nullptr;
  if (timed_ != 0) timing::Cancel(timed_);
}

void Timer::StartTimed(timing::Job job) {
  timer_.stop();
  if (timed_ != 0) timing::Cancel(timed_);
  enabled_ = true;
  const std::uint64_t start = ++timedStarts_;
  job.then = [self = self_, start, handler = std::move(job.then)] {
    Timer* timer = *self;
    if (timer == nullptr || timer->timed_ == 0 || timer->timedStarts_ != start) return;
    timer->timed_ = 0;
    if (handler) handler();
    Application::Invoke(timer->onTimer_);
  };
  timed_ = timing::Schedule(std::move(job));
}

void Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Restart();
}

void Timer::SetInterval(int interval) {
  if (interval == interval_) return;
  interval_ = interval;
  Restart();
}

void Timer::SetOnTimer(std::function<void()> handler) {
  onTimer_ = std::move(handler);
  Restart();
}

void Timer::Restart() {
  timer_.stop();
  if (timed_ != 0) {
    timing::Cancel(timed_);
    timed_ = 0;
  }
  if (interval_ > 0 && enabled_ && onTimer_) timer_.start(interval_);
}

}  // namespace ui
