#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Design.h"
#include "TrialLog.h"
#include "TrialRecord.h"
#include "TrialSink.h"

namespace experiment {

// What the presenter measured of one trial, for its row.
struct TrialTiming {
  double ExposureMs = 0;  // grid shown to hidden
  double AskedMs = 0;     // the exposure aimed at; 0 when not known
  double FrameMs = 0;     // one frame of the screen; 0 when not known
  std::int64_t RatingMs = 0;
};

// A destination that could not keep a row: where, and the system's reason.
struct SinkFailure {
  std::string Path;
  std::string Reason;
};

// One run of the experiment: its design, the generator's state, the two
// patterns, the trial counter, the records of the recorded trials, the
// answered rows and the sinks they go to. A window presents a run, a server
// holds many; runs never share anything.
//
// The sequence: Start() sets the patterns up and draws the first trial's
// kind; Show() when its grid is shown; Answer() when it is rated; NextTrial()
// for each trial after the first, whose pattern the presenter draws.
class Run {
 public:
  // A run that has not started, of the standard design: no answers, its
  // records zero.
  Run();
  // `identity` gives the session, seed, observer and design name of the rows.
  Run(Design design, TrialLogSession identity, TrialLogFormat format = TrialLogFormat::kPlain);
  Run(Run&&) = default;
  Run& operator=(Run&&) = default;

  // Every answered row goes to each sink, in the order added.
  void AddSink(TrialSink* sink);                   // not owned
  void AddSink(std::unique_ptr<TrialSink> sink);  // the run's own

  // Fills both patterns, seeds the generator with the run's seed, shuffles
  // the noise then the signal pattern, and returns the first trial's
  // pattern (NextTrial).
  Pattern Start();
  // Chooses the coming trial's kind into NextStimulus and returns its
  // pattern as it is to be drawn; the pattern itself is reshuffled at once.
  // Draws 100 random numbers.
  Pattern NextTrial();
  // The coming trial's grid is on the screen.
  void Show() { ShownStimulus = NextStimulus; }
  // Records the answer (when the trial is a recorded one), makes its row and
  // appends it to every sink, and moves the counter on. Returns the run's
  // first failure of a sink, once; later failures go unsaid.
  std::optional<SinkFailure> Answer(ResponseCode code, const TrialTiming& timing);
  // Every trial of the design has been answered.
  bool Over() const;
  // The trial now on the screen, from 1.
  std::int32_t TrialNumber() const { return TrialCounter + design.PracticeTrials; }

  // The answered rows, practice included, and the identity they carry.
  const TrialLogSession& Log() const { return log_; }
  TrialLogFormat Format() const { return format_; }

  Design design;
  Pattern NoisePattern{};      // always a permutation of the design's brown and green cells
  Pattern SignalPattern{};
  StimulusKind NextStimulus = kNoise;   // kind already chosen for the coming trial
  std::uint32_t RandomState = 0;        // state of the pseudo-random generator
  TrialRecords TrialResults;            // record i holds the i-th recorded trial
  std::int32_t TrialCounter;            // 1 - practice trials at the start; k - practice before the answer to trial k
  StimulusKind ShownStimulus = kNoise;  // kind shown in the trial now being answered

 private:
  Pattern& PatternOf(StimulusKind kind) { return kind == kSignal ? SignalPattern : NoisePattern; }
  std::optional<SinkFailure> Deliver(const TrialLogRow& row);

  TrialLogSession log_;
  TrialLogFormat format_;
  std::vector<TrialSink*> sinks_;
  std::vector<std::unique_ptr<TrialSink>> owned_;
  bool failureTold_ = false;
};

// The row of an answer to `trial` of a run of `design` with `identity`,
// which showed `stimulus`: what Run::Answer records, for presenters that
// keep a run's answers themselves (a server, whose pages answer in any order).
TrialLogRow AnswerRow(const TrialLogSession& identity, const Design& design, std::int32_t trial,
                      StimulusKind stimulus, ResponseCode code, const TrialTiming& timing);

// How a process makes its runs, from its command line.
struct RunSettings {
  Design design = Design::Standard();
  // The plain format for the standard experiment; the class format, which
  // names the observer and the design, once either is given.
  TrialLogFormat Format = TrialLogFormat::kPlain;
  std::string Observer;             // of the coming runs; empty when not asked
  bool AskObserver = false;         // asked for each run
  std::optional<std::uint32_t> Seed;  // every run's seed; the clock's when empty
  std::vector<TrialSink*> Sinks;    // every run's rows go here too (not owned)
  bool Autosave = false;            // each run also to a file of its own
};

// A new run of the settings for `observer`, begun at `session` (a UTC time
// as FormatSessionTime writes it), with the settings' sinks.
Run MakeRun(const RunSettings& settings, const std::string& session, const std::string& observer);

}  // namespace experiment
