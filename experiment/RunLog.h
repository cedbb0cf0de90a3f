#pragma once
#include "experiment/TrialLog.h"

namespace experiment {

// The answered trials of the current run, practice included, as rows of the
// per-trial file; and the file each row is also appended to as it is
// answered, when one was given. Starts afresh with each experiment window.
struct RunLogState {
  TrialLogSession Run;
  TrialLogFile* File = nullptr;  // not owned

  void Reset() { Run = {}; }
};

inline RunLogState RunLog;

}  // namespace experiment
