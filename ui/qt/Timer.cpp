#include "Timer.h"

#include "Application.h"

namespace ui {

Timer::Timer() {
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, [this] { Application::Invoke(onTimer_); });
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
  if (interval_ > 0 && enabled_ && onTimer_) timer_.start(interval_);
}

}  // namespace ui
