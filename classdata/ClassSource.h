#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "experiment/TrialLog.h"

namespace classdata {

// What a source holds under one name (a per-trial file; a table of a class
// database): its sessions as they are now, and what its reader said of it:
// what could not be read, and how it was read. A partial read brings only the
// sessions that changed (each in full) and names those that are gone; the
// others stay as they were.
struct SourceOrigin {
  std::string name;
  std::vector<experiment::TrialLogSession> sessions;
  std::vector<experiment::ReadNote> notes;
  bool partial = false;
  std::vector<std::pair<std::string, std::uint32_t>> gone;  // (session, seed), of a partial read
};

// What a source reads: per-trial files and folders of them, or a class
// database.
enum class SourceKind { kFiles, kDatabase };

// What changed since the last read: origins whose content is new or
// different (in full), and the names of origins that are gone.
struct SourceChanges {
  std::vector<SourceOrigin> changed;
  std::vector<std::string> removed;
};

// Where the sessions of a class come from. The loader asks each source for
// its changes, on a timer and when a watcher reports a change; a source reads
// only what is new where it can.
class ClassSource {
 public:
  virtual ~ClassSource() = default;

  // The first call returns everything; later calls what changed since.
  virtual SourceChanges Read() = 0;

  // Paths a file-system watcher can watch to hear of changes early (files
  // and folders); empty when the source can only be polled.
  virtual std::vector<std::string> WatchPaths() const { return {}; }

  // A source that hears of changes itself (a database's notifications) calls
  // changed when it does; others are polled.
  virtual void OnChange(std::function<void()> changed) { (void)changed; }

  virtual SourceKind Kind() const { return SourceKind::kFiles; }
};

// How a file is read. Once: every line, the last one too when it has no line
// end (what "--fit" reads). Live: a last line without its line end is still
// being written and is left for a later read; a file with a header and no
// rows yet is a run just started, not a problem.
enum class ReadMode { kOnce, kLive };

// The source a command-line argument names: a per-trial file, or a folder of
// them (every *.csv in it and below); or a class database, when the program
// has set the opener for them.
std::unique_ptr<ClassSource> OpenSource(const std::string& argument, ReadMode mode);

// Makes the source of an argument that names a class database, nullptr for
// any other argument; names says, without connecting, whether an argument
// names one.
using DatabaseOpener = std::unique_ptr<ClassSource> (*)(const std::string& argument);
using DatabaseNamer = bool (*)(std::string_view argument);
void SetDatabaseOpener(DatabaseOpener opener, DatabaseNamer names = nullptr);

// Whether an argument names a class database rather than a file or folder;
// false for every argument while no namer is set.
bool NamesDatabase(const std::string& argument);

}  // namespace classdata
