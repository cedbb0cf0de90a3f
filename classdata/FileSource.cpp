#include "FileSource.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <system_error>

#include "experiment/FileAccess.h"

namespace classdata {

namespace {

namespace fs = std::filesystem;

experiment::ReadNote Unreadable(const std::string& path, const std::error_code& ec) {
  return {experiment::NoteCode::kCannotRead, path, 0, {ec.message()}, {}, ec.value()};
}

bool IsCsv(const fs::path& p) {
  std::string ext = p.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext == ".csv";
}

// Reads from offset to the end; false on an error (errno set).
bool ReadFrom(int fd, std::int64_t offset, std::string& out) {
  char buffer[65536];
  while (true) {
    const std::int64_t n = experiment::ReadAt(fd, offset, buffer, sizeof buffer);
    if (n < 0) return false;
    if (n == 0) return true;
    out.append(buffer, static_cast<std::size_t>(n));
    offset += n;
  }
}

}  // namespace

namespace {
DatabaseOpener databaseOpener = nullptr;
DatabaseNamer databaseNamer = nullptr;
}  // namespace

void SetDatabaseOpener(DatabaseOpener opener, DatabaseNamer names) {
  databaseOpener = opener;
  databaseNamer = names;
}

bool NamesDatabase(const std::string& argument) { return databaseNamer != nullptr && databaseNamer(argument); }

std::unique_ptr<ClassSource> OpenSource(const std::string& argument, ReadMode mode) {
  // A class database is a source of its own kind; files and folders are read here.
  if (databaseOpener != nullptr) {
    if (std::unique_ptr<ClassSource> database = databaseOpener(argument)) return database;
  }
  return std::make_unique<FileSource>(argument, mode);
}

FileSource::FileSource(std::string path, ReadMode mode) : path_(std::move(path)), mode_(mode) {}

std::vector<std::string> FileSource::ListFiles(std::optional<experiment::ReadNote>& problem) {
  std::vector<std::string> files;
  folders_.clear();
  std::error_code ec;
  const fs::file_status status = fs::status(path_, ec);
  if (ec || !fs::exists(status)) {
    problem = ec ? Unreadable(path_, ec) : experiment::CannotRead(path_, ENOENT);
    return files;
  }
  if (!fs::is_directory(status)) return {path_};
  folders_.push_back(path_);
  fs::recursive_directory_iterator it(path_, fs::directory_options::skip_permission_denied, ec);
  if (ec) {
    problem = Unreadable(path_, ec);
    return files;
  }
  for (; it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (ec) break;
    std::error_code entryError;
    if (it->is_directory(entryError)) {
      folders_.push_back(it->path().string());
    } else if (IsCsv(it->path()) && it->is_regular_file(entryError)) {
      files.push_back(it->path().string());
    }
  }
  if (ec) problem = Unreadable(path_, ec);
  std::sort(files.begin(), files.end());
  return files;
}

bool FileSource::Update(const std::string& file, FileState& state, std::optional<experiment::ReadNote>& problem) {
  const int fd = experiment::OpenForReading(file);
  experiment::FileFacts info;
  const int statError = fd < 0 ? errno : experiment::InspectFile(fd, info);
  if (statError != 0) {
    problem = experiment::CannotRead(file, statError);
    if (fd >= 0) experiment::CloseFile(fd);
    const bool changed = state.size != -2;
    state = FileState{};
    state.size = -2;  // unreadable
    return changed;
  }
  if (info.device == state.device && info.inode == state.inode && info.size == state.size &&
      info.modifiedNs == state.mtimeNs) {
    experiment::CloseFile(fd);
    return false;
  }
  // Grown in place: the text taken so far must still be there, unchanged.
  const auto taken = static_cast<std::int64_t>(state.text.size());
  bool append = info.device == state.device && info.inode == state.inode && state.size >= 0 &&
                info.size >= taken && taken > 0;
  if (append) {
    const std::size_t check = std::min<std::size_t>(state.text.size(), 256);
    std::string tail(check, '\0');
    append = experiment::ReadAt(fd, taken - static_cast<std::int64_t>(check), tail.data(), check) ==
                 static_cast<std::int64_t>(check) &&
             state.text.compare(state.text.size() - check, check, tail) == 0;
  }
  std::string fresh;
  const bool ok = ReadFrom(fd, append ? taken : 0, fresh);
  const int readError = errno;
  experiment::CloseFile(fd);
  if (!ok) {
    problem = experiment::CannotRead(file, readError);
    state = FileState{};
    state.size = -2;
    return true;
  }
  const std::string before = append ? std::string() : state.text;
  state.device = info.device;
  state.inode = info.inode;
  state.size = info.size;
  state.mtimeNs = info.modifiedNs;
  if (!append) state.text.clear();
  if (mode_ == ReadMode::kLive) {
    // A last line without its line end is still being written.
    const std::size_t end = fresh.rfind('\n');
    fresh.resize(end == std::string::npos ? 0 : end + 1);
  }
  state.text += fresh;
  return append ? !fresh.empty() : state.text != before || !state.reported;
}

SourceOrigin FileSource::Parse(const std::string& file, const FileState& state) const {
  experiment::TrialLogContents contents = experiment::ParseTrialLog(state.text, file);
  SourceOrigin origin{file, std::move(contents.Sessions), std::move(contents.Notes)};
  origin.notes.insert(origin.notes.end(), contents.Skipped.begin(), contents.Skipped.end());
  const bool startedRun =
      mode_ == ReadMode::kLive && contents.Error && contents.Error->code == experiment::NoteCode::kNoSessions;
  if (contents.Error && !startedRun && !(mode_ == ReadMode::kLive && state.text.empty()))
    origin.notes.push_back(std::move(*contents.Error));
  return origin;
}

SourceChanges FileSource::Read() {
  SourceChanges changes;
  std::optional<experiment::ReadNote> listProblem;
  const std::vector<std::string> files = ListFiles(listProblem);
  if (listProblem != pathProblem_) {
    // Reported under the path itself, replaced when it changes.
    if (pathProblem_) changes.removed.push_back(path_);
    if (listProblem) changes.changed.push_back({path_, {}, {*listProblem}});
    pathProblem_ = listProblem;
  }
  const std::set<std::string> now(files.begin(), files.end());
  for (auto it = files_.begin(); it != files_.end();) {
    if (!now.contains(it->first)) {
      changes.removed.push_back(it->first);
      it = files_.erase(it);
    } else {
      ++it;
    }
  }
  for (const std::string& file : files) {
    FileState& state = files_[file];
    std::optional<experiment::ReadNote> problem;
    if (!Update(file, state, problem)) continue;
    state.reported = true;
    if (problem) {
      changes.changed.push_back({file, {}, {*problem}});
      continue;
    }
    changes.changed.push_back(Parse(file, state));
  }
  return changes;
}

std::vector<std::string> FileSource::WatchPaths() const {
  std::vector<std::string> paths = folders_;
  for (const auto& [file, state] : files_) paths.push_back(file);
  if (paths.empty()) paths.push_back(path_);
  return paths;
}

}  // namespace classdata
