#pragma once
#include "experiment/TrialLog.h"
#include "experiment/TrialSink.h"

namespace experiment {

// The answered trials of the current run, practice included, as rows of the
// per-trial file; and the file each row is also appended to as it is
// answered, when one was given. Starts afresh with each experiment window.
// With Autosave each run also goes to a per-trial file of its own, opened at
// its first answer in the user's data folder.
struct RunLogState {
  TrialLogSession Run;
  // The plain format for the standard experiment; the class format, which
  // names the observer and the design, once either is given.
  TrialLogFormat Format = TrialLogFormat::kPlain;
  std::string Observer;      // of the coming runs; empty when not asked
  bool AskObserver = false;  // asked at each "Do Exp" (the design asks, the command line named no one)
  TrialLogFile* File = nullptr;  // not owned
  TrialSink* Store = nullptr;    // the class database, when one was given; not owned
  bool Autosave = false;
  TrialLogFile RunFile;  // the current run's own file while Autosave is on

  void Reset() { Run = {}; }
};

inline RunLogState RunLog;

}  // namespace experiment
