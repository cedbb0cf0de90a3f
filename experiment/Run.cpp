#include "Run.h"

#include <utility>

#include "Generator.h"
#include "StimulusPatterns.h"

namespace experiment {

namespace {

// The system's reason out of a sink's failure message "... <path>: <reason>".
std::string ReasonOf(const std::string& message, const std::string& path) {
  const std::string marker = path + ": ";
  const std::size_t at = message.rfind(marker);
  return at == std::string::npos ? message : message.substr(at + marker.size());
}

}  // namespace

Run::Run() : Run(Design::Standard(), TrialLogSession{.Seed = 0}) {}

Run::Run(Design d, TrialLogSession identity, TrialLogFormat format)
    : design(std::move(d)),
      TrialResults(design),
      TrialCounter(1 - design.PracticeTrials),
      log_(std::move(identity)),
      format_(format) {
  log_.DesignName = design.RecordedName();
  log_.Categories = design.Categories();
  log_.Rows.clear();
}

void Run::AddSink(TrialSink* sink) { sinks_.push_back(sink); }

void Run::AddSink(std::unique_ptr<TrialSink> sink) {
  sinks_.push_back(sink.get());
  owned_.push_back(std::move(sink));
}

Pattern Run::Start() {
  FillPattern(NoisePattern, design.NoiseBrownCells);
  FillPattern(SignalPattern, design.SignalBrownCells);
  RandomState = log_.Seed;
  ShufflePattern(NoisePattern, RandomState);
  ShufflePattern(SignalPattern, RandomState);
  return NextTrial();
}

Pattern Run::NextTrial() {
  NextStimulus = ChooseStimulusKind(RandomState, design.SignalProbability);
  Pattern& P = PatternOf(NextStimulus);
  const Pattern shown = P;
  ShufflePattern(P, RandomState);
  return shown;
}

std::optional<SinkFailure> Run::Answer(ResponseCode code, const TrialTiming& timing) {
  const std::int32_t trial = TrialNumber();
  if (TrialCounter > 0) TrialResults[TrialCounter] = {TrialCounter, ShownStimulus, code};
  if (TrialCounter < design.RecordedTrials) TrialCounter = TrialCounter + 1;
  log_.Rows.push_back(AnswerRow(log_, design, trial, ShownStimulus, code, timing));
  return Deliver(log_.Rows.back());
}

// Written to every sink before it returns, whatever an earlier one said.
std::optional<SinkFailure> Run::Deliver(const TrialLogRow& row) {
  std::optional<SinkFailure> first;
  for (TrialSink* sink : sinks_) {
    const numeric::Status kept = sink->Append(row);
    if (!kept && !first) first = SinkFailure{sink->Path(), ReasonOf(kept.Reason(), sink->Path())};
  }
  if (!first || failureTold_) return std::nullopt;
  failureTold_ = true;
  return first;
}

bool Run::Over() const {
  return static_cast<std::int32_t>(log_.Rows.size()) >= design.TotalTrials();
}

TrialLogRow AnswerRow(const TrialLogSession& identity, const Design& design, std::int32_t trial,
                      StimulusKind stimulus, ResponseCode code, const TrialTiming& timing) {
  return {.Session = identity.Session,
          .Observer = identity.Observer,
          .DesignName = identity.DesignName,
          .Categories = identity.Categories,
          .Seed = identity.Seed,
          .Trial = trial,
          .Practice = design.IsPractice(trial),
          .Stimulus = stimulus,
          .Response = code,
          .ExposureMs = timing.ExposureMs,
          .AskedMs = timing.AskedMs,
          .FrameMs = timing.FrameMs,
          .RatingMs = timing.RatingMs,
          .DesignRecorded = design.RecordedTrials};
}

Run MakeRun(const RunSettings& settings, const std::string& session, const std::string& observer) {
  Run run(settings.design, {.Session = session, .Seed = settings.Seed.value_or(ClockSeed()), .Observer = observer},
          settings.Format);
  for (TrialSink* sink : settings.Sinks) run.AddSink(sink);
  return run;
}

}  // namespace experiment
