#include "server/RowWriter.h"

#include <QMetaObject>
#include <utility>

namespace server {

RowWriter::RowWriter(int threads) {
  for (int i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
}

RowWriter::~RowWriter() {
  {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return ready_.empty() && busy_ == 0; });
    stop_ = true;
  }
  wake_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void RowWriter::Write(std::vector<experiment::TrialSink*> sinks, experiment::TrialLogRow row, Done done) {
  ++pending_;
  {
    std::lock_guard lock(mutex_);
    Advance(Job{.sinks = std::move(sinks), .row = std::move(row), .done = std::move(done)});
  }
  wake_.notify_one();
}

void RowWriter::Do(experiment::TrialSink* sink, std::function<numeric::Status()> task, Done done) {
  ++pending_;
  {
    std::lock_guard lock(mutex_);
    Advance(Job{.sinks = {sink}, .done = std::move(done), .task = std::move(task)});
  }
  wake_.notify_one();
}

std::deque<RowWriter::Job> RowWriter::NextBatch(Lane& lane) {
  std::deque<Job> batch;
  do {
    batch.push_back(std::move(lane.waiting.front()));
    lane.waiting.pop_front();
  } while (!batch.front().task && !lane.waiting.empty() && !lane.waiting.front().task);
  return batch;
}

void RowWriter::Advance(Job job) {
  if (job.next == job.sinks.size()) {
    Tell(std::move(job), true);
    return;
  }
  experiment::TrialSink* sink = job.sinks[job.next];
  Lane& lane = lanes_[sink];
  if (lane.waiting.empty() && !lane.busy) ready_.push_back(sink);
  lane.waiting.push_back(std::move(job));
}

void RowWriter::Tell(Job job, bool kept) {
  QMetaObject::invokeMethod(
      this,
      [this, done = std::move(job.done), kept, failure = std::move(job.failure)] {
        --pending_;
        done(kept, failure);
      },
      Qt::QueuedConnection);
}

void RowWriter::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stop_ || !ready_.empty(); });
    if (ready_.empty()) return;  // stopped, with nothing left
    experiment::TrialSink* sink = ready_.front();
    ready_.pop_front();
    Lane& lane = lanes_[sink];
    std::deque<Job> batch = NextBatch(lane);
    lane.busy = true;
    ++busy_;
    lock.unlock();
    numeric::Status kept;
    if (batch.front().task) {
      kept = batch.front().task();
    } else {
      std::vector<experiment::TrialLogRow> rows;
      rows.reserve(batch.size());
      for (const Job& job : batch) rows.push_back(job.row);
      kept = sink->AppendAll(rows);
    }
    lock.lock();
    lane.busy = false;
    --busy_;
    if (!lane.waiting.empty()) ready_.push_back(sink);
    for (Job& job : batch) {
      if (!kept && job.failure.empty()) job.failure = kept.Reason();
      if (!kept && job.next == 0) {
        Tell(std::move(job), false);
        continue;
      }
      ++job.next;
      Advance(std::move(job));
    }
    if (!ready_.empty()) wake_.notify_one();
    if (ready_.empty() && busy_ == 0) idle_.notify_all();
  }
}

}  // namespace server
