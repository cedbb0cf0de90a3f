#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "experiment/Run.h"
#include "experiment/TrialLog.h"
#include "experiment/TrialSink.h"

namespace server {

// One trial as a page shows it: its phase, the kind of stimulus and the
// grid, 100 cells row-major from the top left, '1' for a brown (marked)
// cell and '0' for a green one.
struct PresentedTrial {
  std::int32_t trial = 0;
  bool practice = false;
  experiment::StimulusKind stimulus = experiment::kNoise;
  std::string grid;
};

// Every trial of a run in order, as the experiment window would show them:
// the run is started and each later trial drawn from its generator, so a
// page gets the desktop's sequence for the same seed and design.
std::vector<PresentedTrial> PresentTrials(experiment::Run& run);

// What a page says of one answered trial; `unsent` aside, the content two
// sends of the same answer must agree on.
struct PageAnswer {
  experiment::ResponseCode response = 0;
  experiment::TrialTiming timing;

  bool operator==(const PageAnswer& other) const;
};

// A run's own per-trial file of the class format in a folder, named from
// the session's time and the observer (a name taken gets a number), made at
// the run's first row so that a run never answered leaves nothing behind.
class RunFile : public experiment::TrialSink {
 public:
  // Called with the path of a new file before its first row goes in; the
  // rows are not written when it fails.
  using Opened = std::function<numeric::Status(const std::string& path)>;
  // existing: the name of the run's file in the folder when it has one (a
  // run taken up again after a restart).
  RunFile(std::string folder, std::string session, std::string observer, std::string existing = {}, Opened opened = {});
  numeric::Status Append(const experiment::TrialLogRow& row) override;
  numeric::Status AppendAll(const std::vector<experiment::TrialLogRow>& rows) override;
  std::string Path() const override { return path_.empty() ? folder_ : path_; }
  // The file's name in the folder; empty while the run has none. From any
  // thread, while rows are appended on another.
  std::string FileName() const;

 private:
  std::string folder_, session_, observer_, existing_, path_;
  mutable std::mutex nameMutex_;
  std::string name_;  // the file's once it is open, or the existing one
  Opened opened_;
  experiment::TrialLogFile file_;
};

// A run a page presents: made by the server, answered by the page trial by
// trial in any order, each trial kept once. A new answer is written while
// the server goes on (see RowWriter): from Begin to Finish it is pending,
// and a repeat of it waits for the same outcome rather than being written
// again.
class BrowserRun {
 public:
  enum class Outcome {
    kStored,     // new: the row went to the sinks
    kSame,       // stored before with the same content: nothing written
    kConflict,   // stored or being written with other content: nothing written
    kNoSuchTrial,
    kNotKept,    // the first sink could not keep the row: nothing stored, a retry may
    kPending,    // the same answer is being written: its outcome is this one's
  };

  // key: the write key, when known here (not after a restart); keyHash: its
  // hash, which the keys that pages send are checked against.
  BrowserRun(std::string id, std::string key, std::string keyHash, experiment::Run run);

  void AddSink(experiment::TrialSink* sink) { sinks_.push_back(sink); }
  void AddSink(std::unique_ptr<experiment::TrialSink> sink);
  // The run's own file: its first sink.
  void AddFile(std::unique_ptr<RunFile> file);
  // The name of the run's file; empty while it has none.
  std::string FileName() const { return file_ == nullptr ? std::string() : file_->FileName(); }
  const std::vector<experiment::TrialSink*>& Sinks() const { return sinks_; }

  // The page's answer to `trial`: kStored with the row to write when it is
  // new (the trial is then pending), else what it is to the answers held.
  struct Begun {
    Outcome outcome;
    experiment::TrialLogRow row;
  };
  Begun Begin(std::int32_t trial, const PageAnswer& answer);
  // The pending answer to `trial` was kept by the sinks at `now` (ISO 8601,
  // noted as the last answer), or was not.
  void Finish(std::int32_t trial, bool kept, const std::string& now);

  // An answer the run holds already (kept by another server, or before a
  // restart): remembered, written nowhere. A trial being written here is
  // left to its own outcome; one outside the design is passed by.
  void Remember(std::int32_t trial, const PageAnswer& answer);
  void SetLastAnswer(std::string at) { lastAnswer_ = std::move(at); }
  bool IsPending(std::int32_t trial) const { return pending_.contains(trial); }

  const std::string& Id() const { return id_; }
  const std::string& Key() const { return key_; }
  const std::string& KeyHash() const { return keyHash_; }
  const experiment::Design& GetDesign() const { return run_.design; }
  const experiment::TrialLogSession& Identity() const { return run_.Log(); }
  const std::vector<PresentedTrial>& Trials() const { return trials_; }
  const std::map<std::int32_t, PageAnswer>& Answers() const { return answers_; }
  const std::string& LastAnswer() const { return lastAnswer_; }
  // The rows of the answers kept, in trial order, with the run's identity.
  experiment::TrialLogSession Rows() const;
  std::int64_t unsent = 0;  // the page's own count of answers it still holds

 private:
  std::string id_, key_, keyHash_;
  experiment::Run run_;
  experiment::TrialLogRow RowOf(std::int32_t trial, const PageAnswer& answer) const;
  // The same answer, or one the per-trial file keeps as the same row (an
  // answer read back from it has its precision).
  bool Same(std::int32_t trial, const PageAnswer& a, const PageAnswer& b) const;

  std::vector<PresentedTrial> trials_;
  std::map<std::int32_t, PageAnswer> answers_, pending_;
  std::string lastAnswer_;
  std::vector<experiment::TrialSink*> sinks_;
  std::vector<std::unique_ptr<experiment::TrialSink>> owned_;
  const RunFile* file_ = nullptr;
};

}  // namespace server
