#include "TimingThread.h"

#include <sched.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QMetaObject>
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace ui::timing {

namespace {

// Woken this long before a moment, the thread stays awake until it comes:
// the kernel's wake-up of a sleeper is late by tens of microseconds on an
// idle machine and by milliseconds on a busy one, a spin is not.
constexpr std::chrono::microseconds kAwake{2000};
// The real-time priority asked for: above every ordinary process, below the
// kernel's own threads and audio servers.
constexpr int kRealTimePriority = 10;

void RaisePriority() {
  // Sleeps end when due, not within the default 50 µs of slack.
  prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
  sched_param param{};
  rlimit rt{};
  getrlimit(RLIMIT_RTPRIO, &rt);
  const int fifo = rt.rlim_cur > 0 ? static_cast<int>(std::min<rlim_t>(rt.rlim_cur, kRealTimePriority)) : kRealTimePriority;
  param.sched_priority = fifo;
  // Allowed with RLIMIT_RTPRIO above zero or CAP_SYS_NICE; refused otherwise.
  if (sched_setscheduler(0, SCHED_FIFO | SCHED_RESET_ON_FORK, &param) == 0) return;
  // Else the lowest nice level RLIMIT_NICE allows this thread (20 - limit).
  rlimit nice{};
  getrlimit(RLIMIT_NICE, &nice);
  const int lowest = 20 - static_cast<int>(std::min<rlim_t>(nice.rlim_cur, 40));
  const auto tid = static_cast<id_t>(syscall(SYS_gettid));
  if (lowest < getpriority(PRIO_PROCESS, tid)) setpriority(PRIO_PROCESS, tid, lowest);
}

struct Queue {
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::pair<std::uint64_t, Job>> jobs;
  std::uint64_t next = 1;
  std::uint64_t cancelled = 0;  // the job being waited for, when cancelled
  std::uint64_t current = 0;
};

Queue& TheQueue() {
  // Never destroyed: the thread may still wait on it while the program ends.
  static Queue* queue = [] {
    auto* q = new Queue;
    std::thread([q] {
      RaisePriority();
      std::unique_lock lock(q->mutex);
      for (;;) {
        q->changed.wait(lock, [q] { return !q->jobs.empty(); });
        auto [id, job] = std::move(q->jobs.front());
        q->jobs.pop_front();
        q->current = id;
        lock.unlock();
        const SteadyTime due = job.begin() + job.length;
        lock.lock();
        q->changed.wait_until(lock, due - kAwake, [q, id] { return q->cancelled == id; });
        if (q->cancelled == id) {
          q->current = 0;
          continue;
        }
        lock.unlock();
        while (std::chrono::steady_clock::now() < due) {
        }
        job.atDue();
        if (QCoreApplication* app = QCoreApplication::instance(); app != nullptr && job.then) {
          QMetaObject::invokeMethod(app, std::move(job.then), Qt::QueuedConnection);
        }
        lock.lock();
        q->current = 0;
      }
    }).detach();
    return q;
  }();
  return *queue;
}

}  // namespace

std::uint64_t Schedule(Job job) {
  Queue& q = TheQueue();
  std::lock_guard lock(q.mutex);
  const std::uint64_t id = q.next++;
  q.jobs.emplace_back(id, std::move(job));
  q.changed.notify_all();
  return id;
}

void Cancel(std::uint64_t id) {
  Queue& q = TheQueue();
  std::lock_guard lock(q.mutex);
  std::erase_if(q.jobs, [id](const auto& j) { return j.first == id; });
  if (q.current == id) q.cancelled = id;
  q.changed.notify_all();
}

}  // namespace ui::timing
