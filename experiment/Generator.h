#pragma once
#include <cstdint>
#include <functional>

namespace experiment {

// The experiment's own pseudo-random generator. Each draw advances its state
// (a run's RandomState) by state := state * 134775813 + 1 (mod 2^32).

// The new state as a fraction: exactly state / 2^32, in [0, 1 - 2^-32].
double RandomFraction(std::uint32_t& state);

// An index in 1..n (n >= 1): (state * n) div 2^32 of the new state, with a
// 64-bit product, plus one, at most n.
std::int32_t RandomIndex(std::uint32_t& state, std::int32_t n);

// A reading of the clock: the UTC time of day.
struct TimeOfDay {
  int Hour;         // 0..23
  int Minute;       // 0..59
  int Second;       // 0..59
  int Millisecond;  // 0..999
};

// The current UTC time of day from the system clock.
TimeOfDay SystemTimeOfDayUtc();

// Replaces the clock ClockSeed reads; an empty function restores the system
// clock.
void SetClockForTests(std::function<TimeOfDay()> clock);

// A seed from the clock: the milliseconds since midnight UTC, 0..86399999.
std::uint32_t ClockSeed();

}  // namespace experiment
