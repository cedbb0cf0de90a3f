#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "numeric/Result.h"

namespace server {

// What a server needs to take a run's answers again after a restart, kept in
// the data folder beside the runs' per-trial files: one small JSON file per
// run in its folder ".runs" (no CSV: the class's readers pass it by). The
// write key is kept only as its hash.
struct RunRecord {
  std::string id, keyHash, design, session, observer;
  std::uint32_t seed = 0;
  std::string file;  // the per-trial file's name in the data folder; empty before the first row
};

// Writes the run's record in place of the one before, whole or not at all,
// synced to the disk; the reason when it cannot.
numeric::Status WriteRunRecord(const std::string& dataFolder, const RunRecord& record);

// The records in the data folder; each one that cannot be read is named in
// problems with the reason, and left out.
std::vector<RunRecord> ReadRunRecords(const std::string& dataFolder, std::vector<std::string>& problems);

}  // namespace server
