#include "server/BrowserRuns.h"

#include <filesystem>
#include <utility>

#include "experiment/SessionFileNames.h"
#include "experiment/StimulusPatterns.h"

namespace server {

namespace {

std::string GridOf(const experiment::Pattern& pattern) {
  std::string grid(experiment::kPatternCells, '0');
  for (int k = 1; k <= experiment::kPatternCells; ++k) {
    if (pattern[k] == experiment::kBrown) grid[static_cast<std::size_t>(k - 1)] = '1';
  }
  return grid;
}

}  // namespace

std::vector<PresentedTrial> PresentTrials(experiment::Run& run) {
  std::vector<PresentedTrial> trials;
  experiment::Pattern shown = run.Start();
  for (std::int32_t t = 1; t <= run.design.TotalTrials(); ++t) {
    if (t > 1) shown = run.NextTrial();
    trials.push_back({t, run.design.IsPractice(t), run.NextStimulus, GridOf(shown)});
  }
  return trials;
}

bool PageAnswer::operator==(const PageAnswer& o) const {
  return response == o.response && timing.ExposureMs == o.timing.ExposureMs && timing.AskedMs == o.timing.AskedMs &&
         timing.FrameMs == o.timing.FrameMs && timing.RatingMs == o.timing.RatingMs;
}

RunFile::RunFile(std::string folder, std::string session, std::string observer)
    : folder_(std::move(folder)), session_(std::move(session)), observer_(std::move(observer)) {}

numeric::Status RunFile::Append(const experiment::TrialLogRow& row) { return AppendAll({row}); }

numeric::Status RunFile::AppendAll(const std::vector<experiment::TrialLogRow>& rows) {
  if (!file_.IsOpen()) {
    path_ = experiment::UniquePath(folder_, experiment::AutosaveFileName(session_, observer_),
                                   [](const std::string& p) {
                                     std::error_code error;
                                     return std::filesystem::exists(p, error) || error;
                                   });
    if (numeric::Status open = file_.Open(path_, experiment::TrialLogFormat::kClass); !open) return open;
  }
  return file_.AppendAll(rows);
}

BrowserRun::BrowserRun(std::string id, std::string key, experiment::Run run)
    : id_(std::move(id)), key_(std::move(key)), run_(std::move(run)), trials_(PresentTrials(run_)) {}

void BrowserRun::AddSink(std::unique_ptr<experiment::TrialSink> sink) {
  sinks_.push_back(sink.get());
  owned_.push_back(std::move(sink));
}

BrowserRun::Begun BrowserRun::Begin(std::int32_t trial, const PageAnswer& answer) {
  if (trial < 1 || trial > static_cast<std::int32_t>(trials_.size())) return {Outcome::kNoSuchTrial, {}};
  if (const auto it = answers_.find(trial); it != answers_.end()) {
    return {it->second == answer ? Outcome::kSame : Outcome::kConflict, {}};
  }
  if (const auto it = pending_.find(trial); it != pending_.end()) {
    return {it->second == answer ? Outcome::kPending : Outcome::kConflict, {}};
  }
  pending_.emplace(trial, answer);
  return {Outcome::kStored, RowOf(trial, answer)};
}

void BrowserRun::Finish(std::int32_t trial, bool kept, const std::string& now) {
  const auto it = pending_.find(trial);
  if (it == pending_.end()) return;
  if (kept) {
    answers_.emplace(trial, it->second);
    lastAnswer_ = now;
  }
  pending_.erase(it);
}

void BrowserRun::Remember(std::int32_t trial, const PageAnswer& answer) {
  if (!pending_.contains(trial)) answers_.emplace(trial, answer);
}

experiment::TrialLogRow BrowserRun::RowOf(std::int32_t trial, const PageAnswer& answer) const {
  const PresentedTrial& shown = trials_[static_cast<std::size_t>(trial - 1)];
  return experiment::AnswerRow(run_.Log(), run_.design, trial, shown.stimulus, answer.response, answer.timing);
}

experiment::TrialLogSession BrowserRun::Rows() const {
  experiment::TrialLogSession rows = run_.Log();
  for (const auto& [trial, answer] : answers_) rows.Rows.push_back(RowOf(trial, answer));
  return rows;
}

}  // namespace server
