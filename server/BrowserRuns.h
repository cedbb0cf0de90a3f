#pragma once
#include <cstdint>
#include <map>
#include <memory>
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
  RunFile(std::string folder, std::string session, std::string observer);
  numeric::Status Append(const experiment::TrialLogRow& row) override;
  numeric::Status AppendAll(const std::vector<experiment::TrialLogRow>& rows) override;
  std::string Path() const override { return path_.empty() ? folder_ : path_; }

 private:
  std::string folder_, session_, observer_, path_;
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

  BrowserRun(std::string id, std::string key, experiment::Run run);

  void AddSink(experiment::TrialSink* sink) { sinks_.push_back(sink); }
  void AddSink(std::unique_ptr<experiment::TrialSink> sink);
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
  // left to its own outcome.
  void Remember(std::int32_t trial, const PageAnswer& answer);
  void SetLastAnswer(std::string at) { lastAnswer_ = std::move(at); }
  bool IsPending(std::int32_t trial) const { return pending_.contains(trial); }

  const std::string& Id() const { return id_; }
  const std::string& Key() const { return key_; }
  const experiment::Design& GetDesign() const { return run_.design; }
  const experiment::TrialLogSession& Identity() const { return run_.Log(); }
  const std::vector<PresentedTrial>& Trials() const { return trials_; }
  const std::map<std::int32_t, PageAnswer>& Answers() const { return answers_; }
  const std::string& LastAnswer() const { return lastAnswer_; }
  // The rows of the answers kept, in trial order, with the run's identity.
  experiment::TrialLogSession Rows() const;
  std::int64_t unsent = 0;  // the page's own count of answers it still holds

 private:
  std::string id_, key_;
  experiment::Run run_;
  experiment::TrialLogRow RowOf(std::int32_t trial, const PageAnswer& answer) const;

  std::vector<PresentedTrial> trials_;
  std::map<std::int32_t, PageAnswer> answers_, pending_;
  std::string lastAnswer_;
  std::vector<experiment::TrialSink*> sinks_;
  std::vector<std::unique_ptr<experiment::TrialSink>> owned_;
};

}  // namespace server
