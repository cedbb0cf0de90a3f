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
    bool notesChanged = false;
    bool Any() const { return !added.empty() || !changed.empty() || removed || notesChanged; }
  };
  Update Refresh();

  const std::vector<ClassEntry>& Sessions() const { return sessions_; }
  // What the sources said of what they read (what could not be read, how a
  // file was read), per origin in order of first appearance.
  std::vector<experiment::ReadNote> Notes() const;
  // The number of origins read of a kind (files found, readable or not; the
  // class databases).
  std::size_t Origins(SourceKind kind) const;
  // The names of the origins of a kind that hold no session and whose source
  // said nothing of them: a class database with no trials yet, say.
  std::vector<std::string> SilentEmptyOrigins(SourceKind kind) const;
  // The sessions in the form the class statistics take.
  std::vector<const roc::ClassSession*> ClassSessions() const;
  std::vector<std::string> WatchPaths() const;
  // Fits done so far, for measurements.
  std::uint64_t FitsDone() const { return fits_; }

 private:
  using Key = std::tuple<std::string, std::string, std::uint32_t>;  // origin, session, seed
  void Reindex();
  void RemoveOrigin(const std::string& origin, Update& update);
  void Apply(SourceOrigin&& origin, SourceKind kind, Update& update);
  struct Origin {
    std::string name;
    SourceKind kind;
    std::vector<experiment::ReadNote> notes;
  };

  std::vector<std::unique_ptr<ClassSource>> sources_;
  std::vector<ClassEntry> sessions_;
  std::map<Key, std::size_t> index_;
  std::vector<Origin> origins_;
  std::uint64_t fits_ = 0;
};

}  // namespace classdata
