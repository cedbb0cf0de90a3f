#pragma once
#include <string>
#include <vector>

#include "numeric/Result.h"

namespace experiment {

struct TrialLogRow;

// A destination of a run's answered rows: a per-trial file, the class
// database, a server's session. Append keeps the row durably before it
// returns (or fails with the reason it could not); sending it on is the sink's own
// business and never makes the experiment wait.
class TrialSink {
 public:
  virtual ~TrialSink() = default;
  virtual numeric::Status Append(const TrialLogRow& row) = 0;
  // Keeps the rows in order, durably, as Append would one by one; a sink
  // that can keeps them in one write and one sync (a file keeps all of them
  // or none). Here: Append for each, up to the first failure.
  virtual numeric::Status AppendAll(const std::vector<TrialLogRow>& rows);
  // Where the rows are kept locally, for messages.
  virtual std::string Path() const = 0;
};

}  // namespace experiment
