#include "server/BrowserRuns.h"

#include <filesystem>
#include <mutex>
#include <set>
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

// A name in the folder that no file has and no other run has chosen: runs
// make their files on several threads at once.
std::string ChooseName(const std::string& folder, const std::string& name) {
  static std::mutex choosing;
  static std::set<std::string> chosen;
  std::lock_guard lock(choosing);
  std::string path = experiment::UniquePath(folder, name, [](const std::string& p) {
    std::error_code error;
    return chosen.contains(p) || std::filesystem::exists(p, error) || error;
  });
  chosen.insert(path);
  return path;
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

RunFile::RunFile(std::string folder, std::string session, std::string observer, std::string existing, Opened opened)
    : folder_(std::move(folder)),
      session_(std::move(session)),
      observer_(std::move(observer)),
      existing_(std::move(existing)),
      name_(existing_),
      opened_(std::move(opened)) {}

std::string RunFile::FileName() const {
  std::lock_guard lock(nameMutex_);
  return name_;
}

numeric::Status RunFile::Append(const experiment::TrialLogRow& row) { return AppendAll({row}); }

numeric::Status RunFile::AppendAll(const std::vector<experiment::TrialLogRow>& rows) {
  if (!file_.IsOpen()) {
    if (!existing_.empty()) {
      path_ = (std::filesystem::path(folder_) / existing_).string();
    } else {
      path_ = ChooseName(folder_, experiment::AutosaveFileName(session_, observer_));
      if (opened_) {
        if (numeric::Status noted = opened_(path_); !noted) return noted;
      }
    }
    if (numeric::Status open = file_.Open(path_, experiment::TrialLogFormat::kClass); !open) return open;
    std::lock_guard lock(nameMutex_);
    name_ = std::filesystem::path(path_).filename().string();
  }
  return file_.AppendAll(rows);
}

BrowserRun::BrowserRun(std::string id, std::string key, std::string keyHash, experiment::Run run)
    : id_(std::move(id)),
      key_(std::move(key)),
      keyHash_(std::move(keyHash)),
      run_(std::move(run)),
      trials_(PresentTrials(run_)) {}

void BrowserRun::AddSink(std::unique_ptr<experiment::TrialSink> sink) {
  sinks_.push_back(sink.get());
  owned_.push_back(std::move(sink));
}

void BrowserRun::AddFile(std::unique_ptr<RunFile> file) {
  file_ = file.get();
  AddSink(std::move(file));
}

BrowserRun::Begun BrowserRun::Begin(std::int32_t trial, const PageAnswer& answer) {
  if (trial < 1 || trial > static_cast<std::int32_t>(trials_.size())) return {Outcome::kNoSuchTrial, {}};
  if (const auto it = answers_.find(trial); it != answers_.end()) {
    return {Same(trial, it->second, answer) ? Outcome::kSame : Outcome::kConflict, {}};
  }
  if (const auto it = pending_.find(trial); it != pending_.end()) {
    return {Same(trial, it->second, answer) ? Outcome::kPending : Outcome::kConflict, {}};
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
  if (trial < 1 || trial > static_cast<std::int32_t>(trials_.size()) || pending_.contains(trial)) return;
  answers_.emplace(trial, answer);
}

experiment::TrialLogRow BrowserRun::RowOf(std::int32_t trial, const PageAnswer& answer) const {
  const PresentedTrial& shown = trials_[static_cast<std::size_t>(trial - 1)];
  return experiment::AnswerRow(run_.Log(), run_.design, trial, shown.stimulus, answer.response, answer.timing);
}

bool BrowserRun::Same(std::int32_t trial, const PageAnswer& a, const PageAnswer& b) const {
  constexpr auto kFormat = experiment::TrialLogFormat::kClass;
  return a == b || experiment::FormatTrialLogLine(RowOf(trial, a), kFormat) ==
                       experiment::FormatTrialLogLine(RowOf(trial, b), kFormat);
}

experiment::TrialLogSession BrowserRun::Rows() const {
  experiment::TrialLogSession rows = run_.Log();
  for (const auto& [trial, answer] : answers_) rows.Rows.push_back(RowOf(trial, answer));
  return rows;
}

}  // namespace server
