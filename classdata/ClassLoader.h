#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "ClassSource.h"
#include "stats/ClassSummary.h"

namespace classdata {

// One session of the class with its fit.
struct ClassEntry {
  std::string origin;   // the file (or table) it came from
  std::string session;  // the UTC creation time of its run
  std::uint32_t seed = 0;
  int recorded = 0;     // recorded trials counted
  // Recorded trials whose exposure missed the one aimed at by more than a
  // frame; empty when the session's file does not say what was aimed at.
  std::optional<int> missedExposures;
  roc::ClassSession data;
  std::uint64_t revision = 0;  // raised whenever its counts changed and it was refitted
};

// The sessions of every source, read again on request: a session is refitted
// only when its counts, observer, design or scale changed; sessions keep
// their place (their index) until one is removed.
std::optional<int> MissedExposures(const std::vector<experiment::TrialLogRow>& rows);

class ClassLoader {
 public:
  void AddSource(std::unique_ptr<ClassSource> source);

  // What one Refresh did to Sessions(): indices of new and of refitted
  // sessions; removed means indices may have moved.
  struct Update {
    std::vector<std::size_t> added;
    std::vector<std::size_t> changed;
    bool removed = false;
    bool problemsChanged = false;
    bool Any() const { return !added.empty() || !changed.empty() || removed || problemsChanged; }
  };
  Update Refresh();

  const std::vector<ClassEntry>& Sessions() const { return sessions_; }
  // What could not be read, per origin in order of first appearance.
  std::vector<std::string> Problems() const;
  // The number of origins read (files found, readable or not).
  std::size_t Origins() const { return origins_.size(); }
  // The sessions in the form the class statistics take.
  std::vector<const roc::ClassSession*> ClassSessions() const;
  std::vector<std::string> WatchPaths() const;
  // Fits done so far, for measurements.
  std::uint64_t FitsDone() const { return fits_; }

 private:
  using Key = std::tuple<std::string, std::string, std::uint32_t>;  // origin, session, seed
  void RemoveOrigin(const std::string& origin, Update& update);
  void Apply(SourceOrigin&& origin, Update& update);

  std::vector<std::unique_ptr<ClassSource>> sources_;
  std::vector<ClassEntry> sessions_;
  std::map<Key, std::size_t> index_;
  std::vector<std::pair<std::string, std::vector<std::string>>> origins_;  // name and its problems
  std::uint64_t fits_ = 0;
};

}  // namespace classdata
