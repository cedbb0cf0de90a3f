#include "server/RateLimit.h"

namespace server {

bool RateLimit::Allow(const std::string& key, Clock::time_point now) {
  const Clock::time_point since = now - std::chrono::minutes(1);
  // Keys whose minute has passed are forgotten, so that the table stays as
  // small as the clients of the last minute.
  for (auto it = seen_.begin(); it != seen_.end();) {
    while (!it->second.empty() && it->second.front() <= since) it->second.pop_front();
    it = it->second.empty() ? seen_.erase(it) : std::next(it);
  }
  std::deque<Clock::time_point>& times = seen_[key];
  if (static_cast<int>(times.size()) >= limit_) return false;
  times.push_back(now);
  return true;
}

}  // namespace server
