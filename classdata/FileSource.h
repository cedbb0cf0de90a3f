#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ClassSource.h"

namespace classdata {

// A per-trial file or a folder searched recursively for *.csv files. A file
// that grew is read from where the last read stopped; one that shrank, was
// replaced or changed before that point is read again from the start.
class FileSource : public ClassSource {
 public:
  FileSource(std::string path, ReadMode mode);

  SourceChanges Read() override;
  std::vector<std::string> WatchPaths() const override;

 private:
  struct FileState {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = -1;
    std::int64_t mtimeNs = 0;
    std::string text;  // what has been taken: whole lines (in live mode)
    bool reported = false;
  };
  // The files the path names now, sorted; a problem when it names nothing readable.
  std::vector<std::string> ListFiles(std::optional<experiment::ReadNote>& problem);
  // Reads what is new of one file; true when its content changed.
  bool Update(const std::string& file, FileState& state, std::optional<experiment::ReadNote>& problem);
  SourceOrigin Parse(const std::string& file, const FileState& state) const;

  std::string path_;
  ReadMode mode_;
  std::map<std::string, FileState> files_;
  std::vector<std::string> folders_;  // the folders searched at the last read
  std::optional<experiment::ReadNote> pathProblem_;  // reported under the path itself
};

}  // namespace classdata
