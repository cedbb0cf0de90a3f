#include "TrialLog.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <utility>

namespace experiment {

namespace {

std::string Reason(int error) { return std::strerror(error); }

template <typename T>
std::string ToChars(T value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// Writes all of text with one write() call; errno on failure, 0 otherwise.
int WriteOnce(int fd, const std::string& text) {
  ssize_t written;
  do {
    written = ::write(fd, text.data(), text.size());
  } while (written < 0 && errno == EINTR);
  if (written < 0) return errno;
  // A short write means the device is full (or over quota).
  return static_cast<std::size_t>(written) == text.size() ? 0 : ENOSPC;
}

// Fields of one CSV line (RFC 4180: a field may be quoted, "" inside quotes is
// one quote); empty when the quoting is malformed.
std::optional<std::vector<std::string>> SplitFields(std::string_view line) {
  std::vector<std::string> fields;
  std::size_t i = 0;
  while (true) {
    std::string field;
    if (i < line.size() && line[i] == '"') {
      ++i;
      while (true) {
        if (i >= line.size()) return std::nullopt;
        if (line[i] == '"') {
          if (i + 1 < line.size() && line[i + 1] == '"') {
            field += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        field += line[i++];
      }
      if (i < line.size() && line[i] != ',') return std::nullopt;
    } else {
      const std::size_t end = std::min(line.find(',', i), line.size());
      field.assign(line.substr(i, end - i));
      if (field.find('"') != std::string::npos) return std::nullopt;
      i = end;
    }
    fields.push_back(std::move(field));
    if (i >= line.size()) return fields;
    ++i;  // the comma
  }
}

template <typename T>
bool ParseInteger(const std::string& text, T& value) {
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  return !text.empty() && text[0] != '-' && result.ec == std::errc{} && result.ptr == end;
}

// "2026-12-08T19:20:31.123Z": digits where the example has digits.
bool IsSessionTime(const std::string& text) {
  constexpr std::string_view kShape = "0000-00-00T00:00:00.000Z";
  if (text.size() != kShape.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (kShape[i] == '0' ? (text[i] < '0' || text[i] > '9') : text[i] != kShape[i]) return false;
  }
  return true;
}

// The row a line holds, or the reason it holds none.
std::optional<TrialLogRow> ParseRow(const std::vector<std::string>& f, std::string& reason) {
  TrialLogRow row{};
  if (f.size() != 8) {
    reason = "expected 8 fields, found " + std::to_string(f.size());
    return std::nullopt;
  }
  if (!IsSessionTime(f[0])) {
    reason = "session \"" + f[0] + "\" is not a UTC time like 2026-12-08T19:20:31.123Z";
    return std::nullopt;
  }
  row.Session = f[0];
  if (!ParseInteger(f[1], row.Seed)) {
    reason = "seed \"" + f[1] + "\" is not a whole number from 0 to 4294967295";
    return std::nullopt;
  }
  if (!ParseInteger(f[2], row.Trial) || row.Trial < 1 || row.Trial > kLoggedTrials) {
    reason = "trial \"" + f[2] + "\" is not a whole number from 1 to 60";
    return std::nullopt;
  }
  const char* phase = row.Trial <= kPracticeTrials ? "practice" : "recorded";
  if (f[3] != phase) {
    reason = "phase \"" + f[3] + "\" does not match trial " + f[2] + " (" + phase + ")";
    return std::nullopt;
  }
  if (f[4] != "noise" && f[4] != "signal") {
    reason = "stimulus \"" + f[4] + "\" is neither noise nor signal";
    return std::nullopt;
  }
  row.Stimulus = f[4] == "noise" ? kNoise : kSignal;
  if (!ParseInteger(f[5], row.Response) || row.Response < 1 || row.Response > 4) {
    reason = "response \"" + f[5] + "\" is not 1, 2, 3 or 4";
    return std::nullopt;
  }
  const char* end = f[6].data() + f[6].size();
  const auto exposure = std::from_chars(f[6].data(), end, row.ExposureMs, std::chars_format::fixed);
  if (f[6].empty() || exposure.ec != std::errc{} || exposure.ptr != end || !std::isfinite(row.ExposureMs) ||
      row.ExposureMs < 0) {
    reason = "exposure_ms \"" + f[6] + "\" is not a number of milliseconds";
    return std::nullopt;
  }
  if (!ParseInteger(f[7], row.RatingMs)) {
    reason = "rating_ms \"" + f[7] + "\" is not a whole number of milliseconds";
    return std::nullopt;
  }
  return row;
}

}  // namespace

std::string FormatSessionTime(std::chrono::system_clock::time_point time) {
  using namespace std::chrono;
  const auto ms = floor<milliseconds>(time);
  const auto day = floor<days>(ms);
  const year_month_day date{day};
  const hh_mm_ss clock{ms - day};
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                static_cast<int>(clock.seconds().count()), static_cast<int>(clock.subseconds().count()));
  return text;
}

std::string FormatTrialLogLine(const TrialLogRow& row) {
  char exposure[48];
  const auto end = std::to_chars(exposure, exposure + sizeof exposure, row.ExposureMs, std::chars_format::fixed, 1);
  std::string line = row.Session;
  line += ',' + ToChars(row.Seed) + ',' + ToChars(row.Trial);
  line += row.Trial <= kPracticeTrials ? ",practice," : ",recorded,";
  line += row.Stimulus == kNoise ? "noise," : "signal,";
  line += ToChars(row.Response) + ',' + std::string(exposure, end.ptr) + ',' + ToChars(row.RatingMs) + '\n';
  return line;
}

TrialLogFile::TrialLogFile(TrialLogFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

TrialLogFile& TrialLogFile::operator=(TrialLogFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
  }
  return *this;
}

TrialLogFile::~TrialLogFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::optional<std::string> TrialLogFile::Open(const std::string& path) {
  if (fd_ >= 0) ::close(fd_);
  path_ = path;
  fd_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd_ < 0) return "cannot open " + path + " for appending: " + Reason(errno);
  return std::nullopt;
}

std::optional<std::string> TrialLogFile::Append(const TrialLogRow& row) {
  if (fd_ < 0) return "cannot write to " + path_ + ": the file is not open";
  std::string text = FormatTrialLogLine(row);
  int error = 0;
  // The lock makes "empty? then the header" one step across processes.
  while (::flock(fd_, LOCK_EX) != 0) {
    if (errno != EINTR) return "cannot lock " + path_ + ": " + Reason(errno);
  }
  struct stat info {};
  if (::fstat(fd_, &info) != 0) {
    error = errno;
  } else {
    if (info.st_size == 0) text = std::string(kTrialLogHeader) + '\n' + text;
    error = WriteOnce(fd_, text);
    if (error == 0 && ::fsync(fd_) != 0) error = errno;
  }
  ::flock(fd_, LOCK_UN);
  if (error != 0) return "cannot write to " + path_ + ": " + Reason(error);
  return std::nullopt;
}

TrialLogContents ParseTrialLog(std::string_view text, std::string_view fileName) {
  TrialLogContents contents;
  auto fail = [&](std::size_t lineNumber, const std::string& reason) {
    contents.Sessions.clear();
    contents.Error = std::string(fileName) + ":" + std::to_string(lineNumber) + ": " + reason;
    return contents;
  };
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::size_t lineNumber = 0, blankSince = 0;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    ++lineNumber;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.empty()) {
      if (lineNumber == 1) return fail(1, "the first line must be the header " + std::string(kTrialLogHeader));
      if (blankSince == 0) blankSince = lineNumber;
      continue;
    }
    if (blankSince != 0) return fail(blankSince, "blank line before more rows");
    if (lineNumber == 1) {
      if (line != kTrialLogHeader) {
        return fail(1, "the first line must be the header " + std::string(kTrialLogHeader));
      }
      continue;
    }
    const auto fields = SplitFields(line);
    if (!fields) return fail(lineNumber, "malformed quotes");
    std::string reason;
    auto row = ParseRow(*fields, reason);
    if (!row) return fail(lineNumber, reason);
    TrialLogSession* session = nullptr;
    for (TrialLogSession& s : contents.Sessions) {
      if (s.Session == row->Session && s.Seed == row->Seed) session = &s;
    }
    if (session == nullptr) session = &contents.Sessions.emplace_back(TrialLogSession{row->Session, row->Seed, {}});
    session->Rows.push_back(std::move(*row));
  }
  return contents;
}

TrialLogContents ReadTrialLog(const std::string& path) {
  TrialLogContents contents;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    contents.Error = path + ": " + Reason(errno);
    return contents;
  }
  std::string text;
  char buffer[65536];
  while (true) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      contents.Error = path + ": " + Reason(errno);
      ::close(fd);
      return contents;
    }
    if (n == 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return ParseTrialLog(text, path);
}

std::optional<std::string> WriteTrialLog(const std::string& path, const std::vector<TrialLogRow>& rows) {
  std::string text(kTrialLogHeader);
  text += '\n';
  for (const TrialLogRow& row : rows) text += FormatTrialLogLine(row);
  const std::string temporary = path + ".part";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return "cannot write to " + path + ": " + Reason(errno);
  std::size_t done = 0;
  int error = 0;
  while (done < text.size() && error == 0) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno != EINTR) error = errno;
    if (n > 0) done += static_cast<std::size_t>(n);
  }
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    return "cannot write to " + path + ": " + Reason(error);
  }
  return std::nullopt;
}

}  // namespace experiment
