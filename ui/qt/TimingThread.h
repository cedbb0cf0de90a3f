#pragma once
#include <chrono>
#include <cstdint>
#include <functional>

namespace ui {

using SteadyTime = std::chrono::steady_clock::time_point;

// One thread of the program keeps exact moments: it sleeps until shortly
// before one, waits out the rest awake and acts then, at the highest
// scheduling priority the user may take (real-time where the system grants
// it, else the lowest nice level allowed), so that a busy machine delays it as
// little as the system lets it.
namespace timing {

struct Job {
  // Runs first on the timing thread; returns the moment the wait counts from.
  std::function<SteadyTime()> begin;
  std::chrono::nanoseconds length{0};
  // Runs on the timing thread at begin's moment plus length.
  std::function<void()> atDue;
  // Runs on the user-interface thread afterwards.
  std::function<void()> then;
};

// Queues a job (jobs run one after the other); returns its number.
std::uint64_t Schedule(Job job);

// Drops a job that has not reached its moment yet. A job already acting
// goes on; its `then` still comes, and the caller knows to ignore it.
void Cancel(std::uint64_t id);

}  // namespace timing
}  // namespace ui
