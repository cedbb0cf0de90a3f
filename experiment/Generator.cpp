#include "Generator.h"

#include <chrono>
#include <utility>


namespace experiment {

namespace {

constexpr std::uint32_t kMultiplier = 134775813;  // 0x08088405

std::uint32_t NextRandomState(std::uint32_t& state) {
  // Unsigned 32-bit arithmetic wraps: the step is taken mod 2^32.
  state = state * kMultiplier + 1u;
  return state;
}

std::function<TimeOfDay()>& ClockOverride() {
  static std::function<TimeOfDay()> clock;
  return clock;
}

}  // namespace

double RandomFraction(std::uint32_t& state) {
  // Exact: a 32-bit integer times a power of two.
  return static_cast<double>(NextRandomState(state)) * 0x1p-32;
}

std::int32_t RandomIndex(std::uint32_t& state, std::int32_t n) {
  const std::uint64_t product = static_cast<std::uint64_t>(NextRandomState(state)) * static_cast<std::uint32_t>(n);
  const auto v = static_cast<std::int64_t>(product >> 32);
  return v + 1 < n ? static_cast<std::int32_t>(v + 1) : n;
}

TimeOfDay SystemTimeOfDayUtc() {
  using namespace std::chrono;
  // The system clock counts from midnight UTC, 1 January 1970, without leap seconds.
  const auto sinceEpoch = duration_cast<milliseconds>(system_clock::now().time_since_epoch());
  const auto sinceMidnight = sinceEpoch - floor<days>(sinceEpoch);
  const auto ms = static_cast<int>(sinceMidnight.count());
  return TimeOfDay{ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000};
}

void SetClockForTests(std::function<TimeOfDay()> clock) { ClockOverride() = std::move(clock); }

std::uint32_t ClockSeed() {
  const auto& clock = ClockOverride();
  const TimeOfDay t = clock ? clock() : SystemTimeOfDayUtc();
  return static_cast<std::uint32_t>(((t.Hour * 60 + t.Minute) * 60 + t.Second) * 1000 + t.Millisecond);
}

}  // namespace experiment
