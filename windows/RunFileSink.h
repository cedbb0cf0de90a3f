#pragma once
#include <string>

#include "experiment/TrialLog.h"
#include "experiment/TrialSink.h"

// A run's own per-trial file in the user's data folder, named from the
// session's local time and the observer; a name already taken gets a number.
// The file is made at the run's first row, so that a run left before its
// first answer leaves nothing behind.
class RunFileSink : public experiment::TrialSink {
 public:
  RunFileSink(std::string session, std::string observer, experiment::TrialLogFormat format);

  numeric::Status Append(const experiment::TrialLogRow& row) override;
  std::string Path() const override { return path_; }
  // The file has been made and holds the run's rows.
  bool IsOpen() const { return file_.IsOpen(); }

 private:
  numeric::Status Open();

  std::string session_, observer_;
  experiment::TrialLogFormat format_;
  experiment::TrialLogFile file_;
  std::string path_;
  bool tried_ = false;
};
