#include "ClassLoader.h"

#include <algorithm>
#include <cmath>

#include "stats/BinormalFit.h"

namespace classdata {

void ClassLoader::AddSource(std::unique_ptr<ClassSource> source) { sources_.push_back(std::move(source)); }

void ClassLoader::Reindex() {
  index_.clear();
  for (std::size_t i = 0; i < sessions_.size(); ++i)
    index_[{sessions_[i].origin, sessions_[i].session, sessions_[i].seed}] = i;
}

void ClassLoader::RemoveOrigin(const std::string& origin, Update& update) {
  const auto at = std::find_if(origins_.begin(), origins_.end(), [&](const Origin& o) { return o.name == origin; });
  if (at == origins_.end()) return;
  update.notesChanged |= !at->notes.empty();
  origins_.erase(at);
  const auto gone = std::remove_if(sessions_.begin(), sessions_.end(),
                                   [&](const ClassEntry& e) { return e.origin == origin; });
  if (gone == sessions_.end()) return;
  sessions_.erase(gone, sessions_.end());
  update.removed = true;
  Reindex();
}

std::optional<int> MissedExposures(const std::vector<experiment::TrialLogRow>& rows) {
  constexpr double kSixtyHertz = 1000.0 / 60;
  std::optional<int> missed;
  for (const experiment::TrialLogRow& row : rows) {
    if (row.Practice || row.AskedMs <= 0) continue;
    const double frame = row.FrameMs > 0 ? row.FrameMs : kSixtyHertz;
    missed = missed.value_or(0) + (std::abs(row.ExposureMs - row.AskedMs) > frame);
  }
  return missed;
}

void ClassLoader::Apply(SourceOrigin&& origin, SourceKind kind, Update& update) {
  auto at = std::find_if(origins_.begin(), origins_.end(), [&](const Origin& o) { return o.name == origin.name; });
  if (at == origins_.end()) {
    origins_.push_back({origin.name, kind, {}});
    at = origins_.end() - 1;
  }
  if (at->notes != origin.notes) {
    at->notes = std::move(origin.notes);
    update.notesChanged = true;
  }
  // The sessions kept of the origin that this read of it lacks go; a partial
  // read names them.
  std::vector<Key> present;
  for (const experiment::TrialLogSession& s : origin.sessions) present.push_back({origin.name, s.Session, s.Seed});
  const auto goes = [&](const ClassEntry& e) {
    if (e.origin != origin.name) return false;
    const Key key{e.origin, e.session, e.seed};
    if (origin.partial)
      return std::find(origin.gone.begin(), origin.gone.end(), std::pair{e.session, e.seed}) != origin.gone.end();
    return std::find(present.begin(), present.end(), key) == present.end();
  };
  if (std::any_of(sessions_.begin(), sessions_.end(), goes)) {
    std::erase_if(sessions_, goes);
    update.removed = true;
    Reindex();
  }
  for (const experiment::TrialLogSession& s : origin.sessions) {
    roc::ClassSession data{s.Observer, s.DesignName, s.Categories, roc::CountRecordedRows(s.Rows, s.Categories), {},
                           experiment::DesignRecorded(s.Rows)};
    const Key key{origin.name, s.Session, s.Seed};
    const std::optional<int> missed = MissedExposures(s.Rows);
    const auto found = index_.find(key);
    if (found != index_.end()) {
      ClassEntry& e = sessions_[found->second];
      if (e.data.observer == data.observer && e.data.design == data.design &&
          e.data.categories == data.categories && e.data.counts.noise == data.counts.noise &&
          e.data.counts.signal == data.counts.signal && e.missedExposures == missed &&
          e.data.designRecorded == data.designRecorded)
        continue;
    }
    data.fit = roc::FitBinormal(data.counts);
    ++fits_;
    const int recorded = roc::Total(data.counts.noise) + roc::Total(data.counts.signal);
    if (found != index_.end()) {
      ClassEntry& e = sessions_[found->second];
      data.expected = e.data.expected;
      e.data = std::move(data);
      e.recorded = recorded;
      e.missedExposures = missed;
      ++e.revision;
      if (std::find(update.added.begin(), update.added.end(), found->second) == update.added.end())
        update.changed.push_back(found->second);
    } else {
      index_[key] = sessions_.size();
      update.added.push_back(sessions_.size());
      sessions_.push_back({origin.name, s.Session, s.Seed, recorded, missed, std::move(data), 0});
    }
  }
}

ClassLoader::Update ClassLoader::Refresh() {
  Update update;
  for (const std::unique_ptr<ClassSource>& source : sources_) {
    SourceChanges changes = source->Read();
    for (const std::string& gone : changes.removed) RemoveOrigin(gone, update);
    for (SourceOrigin& origin : changes.changed) Apply(std::move(origin), source->Kind(), update);
  }
  // Whether a run is whole can change with the other sessions of its design.
  std::vector<roc::ClassSession*> all;
  std::vector<int> before;
  for (ClassEntry& e : sessions_) {
    all.push_back(&e.data);
    before.push_back(e.data.expected);
  }
  roc::MarkIncomplete(all);
  std::vector<bool> told(sessions_.size());
  for (const std::vector<std::size_t>* list : {&update.added, &update.changed})
    for (std::size_t i : *list) told[i] = true;
  for (std::size_t i = 0; i < sessions_.size(); ++i)
    if (sessions_[i].data.expected != before[i] && !told[i]) update.changed.push_back(i);
  if (update.removed) {
    // Indices reported before a removal may have moved: the whole table is new.
    update.added.clear();
    update.changed.clear();
  }
  return update;
}

std::vector<experiment::ReadNote> ClassLoader::Notes() const {
  std::vector<experiment::ReadNote> all;
  for (const Origin& o : origins_) all.insert(all.end(), o.notes.begin(), o.notes.end());
  return all;
}

std::size_t ClassLoader::Origins(SourceKind kind) const {
  return static_cast<std::size_t>(std::count_if(origins_.begin(), origins_.end(),
                                                 [kind](const Origin& o) { return o.kind == kind; }));
}

std::vector<std::string> ClassLoader::SilentEmptyOrigins(SourceKind kind) const {
  std::vector<std::string> names;
  for (const Origin& o : origins_) {
    const bool empty = std::none_of(sessions_.begin(), sessions_.end(),
                                    [&o](const ClassEntry& e) { return e.origin == o.name; });
    if (o.kind == kind && o.notes.empty() && empty) names.push_back(o.name);
  }
  return names;
}

std::vector<const roc::ClassSession*> ClassLoader::ClassSessions() const {
  std::vector<const roc::ClassSession*> all;
  all.reserve(sessions_.size());
  for (const ClassEntry& e : sessions_) all.push_back(&e.data);
  return all;
}

std::vector<std::string> ClassLoader::WatchPaths() const {
  std::vector<std::string> paths;
  for (const std::unique_ptr<ClassSource>& source : sources_) {
    const std::vector<std::string> more = source->WatchPaths();
    paths.insert(paths.end(), more.begin(), more.end());
  }
  return paths;
}

}  // namespace classdata
