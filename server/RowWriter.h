#pragma once
#include <QObject>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "experiment/TrialLog.h"
#include "experiment/TrialSink.h"

namespace server {

// Writes rows to their sinks on threads of its own, so that no sync holds up
// the server's event loop: the rows of one sink in the order given, each sink
// written by one thread at a time, and the rows that came for a sink while it
// was being written kept together in one AppendAll (one sync for them all).
// Sinks of different runs are written at once, by different threads. What
// became of each row is told on the thread that made the writer, through its
// event loop. The sinks must outlive the writer.
class RowWriter : public QObject {
 public:
  // kept: the first sink kept the row (then every later one got it too);
  // failure: the first reason a sink gave, when one failed.
  using Done = std::function<void(bool kept, const std::string& failure)>;

  explicit RowWriter(int threads);
  // Writes what it was given, then stops its threads; what is then told
  // no longer reaches the owner.
  ~RowWriter() override;

  // Writes row to the sinks in turn; the first decides whether the row is
  // kept: a row it could not keep goes to no other.
  void Write(std::vector<experiment::TrialSink*> sinks, experiment::TrialLogRow row, Done done);
  // Runs task on a thread of the writer, in turn with the rows of sink (after
  // those given before it, before those given after); kept: it succeeded.
  void Do(experiment::TrialSink* sink, std::function<numeric::Status()> task, Done done);
  // Rows given whose outcome is not told yet.
  std::size_t Pending() const { return pending_; }

 private:
  struct Job {
    std::vector<experiment::TrialSink*> sinks;
    std::size_t next = 0;  // the sink the row goes to now
    experiment::TrialLogRow row;
    Done done;
    std::string failure;
    std::function<numeric::Status()> task;  // run in place of writing a row
  };
  struct Lane {
    std::deque<Job> waiting;
    bool busy = false;
  };
  void Work();
  // Under the lock: the jobs the lane's thread does next, a task alone or
  // the rows up to the next task.
  static std::deque<Job> NextBatch(Lane& lane);
  // Under the lock: queues the job for its next sink, or tells its outcome
  // when it has been through them all.
  void Advance(Job job);
  void Tell(Job job, bool kept);

  std::mutex mutex_;
  std::condition_variable wake_, idle_;
  std::map<experiment::TrialSink*, Lane> lanes_;
  std::deque<experiment::TrialSink*> ready_;  // lanes with rows and no thread
  std::size_t busy_ = 0;
  bool stop_ = false;
  std::size_t pending_ = 0;  // the owner's thread's
  std::vector<std::thread> threads_;
};

}  // namespace server
