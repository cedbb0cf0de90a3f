#pragma once
#include <chrono>
#include <deque>
#include <map>
#include <string>

namespace server {

// At most `limit` events per key (a client's address) in any minute.
class RateLimit {
 public:
  using Clock = std::chrono::steady_clock;
  explicit RateLimit(int limit) : limit_(limit) {}

  // Counts an event of key at `now` when the key has room for it; false
  // (nothing counted) when it has had `limit` in the minute before now.
  bool Allow(const std::string& key, Clock::time_point now);

 private:
  int limit_;
  std::map<std::string, std::deque<Clock::time_point>> seen_;
};

}  // namespace server
