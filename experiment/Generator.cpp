#include "Generator.h"

#include <chrono>
#include <utility>

#include "ExperimentState.h"

namespace experiment {

namespace {

constexpr std::uint32_t kMultiplier = 134775813;  // 0x08088405

std::uint32_t NextRandomState() {
  // Unsigned 32-bit arithmetic wraps: the step is taken mod 2^32.
  State.RandomState = State.RandomState * kMultiplier + 1u;
  return State.RandomState;
}

std::function<TimeOfDay()>& ClockOverride() {
  static std::function<TimeOfDay()> clock;
  return clock;
}

struct Seeding {
  std::optional<std::uint32_t> fixed;
  std::uint32_t last = 0;
};
Seeding& Seeds() {
  static Seeding seeds;
  return seeds;
}

}  // namespace

double RandomFraction() {
  // Exact: a 32-bit integer times a power of two.
  return static_cast<double>(NextRandomState()) * 0x1p-32;
}

std::int32_t RandomIndex(std::int32_t n) {
  const std::uint64_t product = static_cast<std::uint64_t>(NextRandomState()) * static_cast<std::uint32_t>(n);
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

void SeedRandomFromClock() {
  if (Seeds().fixed) {
    State.RandomState = *Seeds().fixed;
  } else {
    const auto& clock = ClockOverride();
    const TimeOfDay t = clock ? clock() : SystemTimeOfDayUtc();
    State.RandomState =
        static_cast<std::uint32_t>(((t.Hour * 60 + t.Minute) * 60 + t.Second) * 1000 + t.Millisecond);
  }
  Seeds().last = State.RandomState;
}

void SetFixedSeed(std::optional<std::uint32_t> seed) { Seeds().fixed = seed; }

std::uint32_t LastSeed() { return Seeds().last; }

}  // namespace experiment
