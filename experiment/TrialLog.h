#pragma once
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ReadNote.h"
#include "TrialRecord.h"
#include "TrialSink.h"

namespace experiment {

// The per-trial file: UTF-8 CSV (RFC 4180), "." as the decimal separator
// whatever the locale, LF line ends, a header naming the columns first. The
// columns and their order are those of TrialLogColumns.h. Two formats: the
// plain one of the standard experiment, and the class format, which also
// names the observer, the design, its number of rating categories and of
// recorded trials.
enum class TrialLogFormat { kPlain, kClass };

// One line of the file: one answered trial.
struct TrialLogRow {
  std::string Session;    // UTC creation time of the experiment window, "2026-12-08T19:20:31.123Z"
  std::string Observer;   // empty when not asked
  std::string DesignName = Design::Standard().Name;
  std::int32_t Categories = Design::Standard().Categories();  // K
  std::uint32_t Seed;     // generator state seeded at that creation
  std::int32_t Trial;     // 1 .. the design's trials
  bool Practice;          // the phase: practice or recorded
  StimulusKind Stimulus;  // kNoise or kSignal
  ResponseCode Response;  // 1 .. K
  double ExposureMs;      // grid shown to hidden, monotonic clock; written with one decimal
  double AskedMs = 0;     // the exposure aimed at: the design's, in whole frames; 0 when not known
  double FrameMs = 0;     // one frame of the screen; 0 when the screen reports no refresh rate
  std::int64_t RatingMs;  // rating screen shown to rating press
  // The recorded trials of the design, which a whole run has; 0 when not
  // known (a class file begun by an earlier version).
  std::int32_t DesignRecorded = 0;

  bool operator==(const TrialLogRow&) const = default;
};

// ISO 8601 UTC to the millisecond (truncated), e.g. "2026-12-08T19:20:31.123Z".
std::string FormatSessionTime(std::chrono::system_clock::time_point time);

// The header line, LF included.
std::string TrialLogHeaderLine(TrialLogFormat format = TrialLogFormat::kPlain);

// Whether line, the first of a file (a UTF-8 byte order mark and a CR or LF
// at its end allowed), is the header of a per-trial file of either format.
bool IsTrialLogHeader(std::string_view line);

// The row as one line of the file, LF included; independent of the locale.
std::string FormatTrialLogLine(const TrialLogRow& row, TrialLogFormat format = TrialLogFormat::kPlain);

// Where each column of the table stands in a file's lines (npos: not in the
// file), and the number of fields of a line.
struct TrialLogLayout {
  std::vector<std::size_t> at;
  std::size_t fields = 0;
};

// Appends rows to one file. Each Append is a single write() of a whole line
// to a descriptor opened with O_APPEND, followed by fsync, so lines of two
// processes never mix and a written row survives a crash. Under an exclusive
// flock, the header goes in first when the file is empty, and a line end
// first when the file's last line was cut short (a crash, a full disk), so
// that a new row never continues a broken one. Existing content is never
// touched. On Windows the same holds through the system's counterparts
// (FILE_APPEND_DATA, FlushFileBuffers, LockFileEx; see FileAccess.h).
class TrialLogFile : public TrialSink {
 public:
  TrialLogFile() = default;
  TrialLogFile(const TrialLogFile&) = delete;
  TrialLogFile& operator=(const TrialLogFile&) = delete;
  TrialLogFile(TrialLogFile&& other) noexcept;
  TrialLogFile& operator=(TrialLogFile&& other) noexcept;
  ~TrialLogFile() override;

  // Opens (creating when missing) path for appending rows of the format. A
  // file that holds something else (its first line is not our header, or the
  // header of the other format) is refused, and so is one that a spreadsheet
  // saved in a form of its own (not UTF-8, or separated by ';'), which rows
  // of ours would make unreadable. On failure: a message naming the file and
  // the reason, and the object stays closed.
  numeric::Status Open(const std::string& path, TrialLogFormat format = TrialLogFormat::kPlain);

  // Writes the row, durably. On failure: a message naming the file and the
  // reason. Appending to a closed object is a failure too.
  numeric::Status Append(const TrialLogRow& row) override;
  // Writes the rows in one write and one sync; when that fails, the file is
  // cut back to what it held before, so that none of them is kept.
  numeric::Status AppendAll(const std::vector<TrialLogRow>& rows) override;

  bool IsOpen() const { return fd_ >= 0; }
  std::string Path() const override { return path_; }

 private:
  int fd_ = -1;
  std::string path_;
  TrialLogFormat format_ = TrialLogFormat::kPlain;
  // The columns as the file's header places them: a file begun by an earlier
  // version, or with its columns moved, goes on in its own layout.
  TrialLogLayout layout_;
};

// Writes a whole file of rows, header first, in place of whatever the path
// held: the rows go to a temporary file beside it, synced, which then takes
// the path's name, so that the path never holds half a file. On failure: a
// message naming the file and the reason.
numeric::Status WriteTrialLog(const std::string& path, const std::vector<TrialLogRow>& rows,
                              TrialLogFormat format = TrialLogFormat::kPlain);

// The rows of one run: one session time and seed, in file order, with the
// observer, design and scale of its first row.
struct TrialLogSession {
  std::string Session;
  std::uint32_t Seed;
  std::vector<TrialLogRow> Rows;
  std::string Observer;
  std::string DesignName = Design::Standard().Name;
  std::int32_t Categories = Design::Standard().Categories();
};

// The recorded trials of a session's design as its rows say; 0 when none
// says.
std::int32_t DesignRecorded(const std::vector<TrialLogRow>& rows);

// A whole file read back: its sessions in order of first appearance.
// Error, when set, says why nothing could be read: the file cannot be read,
// it is neither UTF-8 nor CP932 text, its first line is not a header of ours,
// it holds no sessions. Skipped names each line that was left out: a
// malformed row, or a second row of a session's trial (the first one
// counts). Blank lines, lines of empty fields and repeated header lines are
// skipped without a word; a UTF-8 byte order mark, CRLF line ends and quoted
// fields are accepted. Columns are found by their header names; unknown
// columns are ignored. Files of both formats are read; a plain file's rows
// belong to the standard design, its recorded trials included. What a
// spreadsheet makes of the file is read too, and said in Notes: CP932 text
// (Shift_JIS, as Japanese spreadsheet programs save), fields separated by
// ';' with ',' as the decimal mark (as spreadsheets under many European
// locales save).
struct TrialLogContents {
  std::vector<TrialLogSession> Sessions;
  TrialLogFormat Format = TrialLogFormat::kPlain;
  std::optional<ReadNote> Error;
  std::vector<ReadNote> Skipped;
  std::vector<ReadNote> Notes;
};

TrialLogContents ParseTrialLog(std::string_view text, std::string_view fileName);
TrialLogContents ReadTrialLog(const std::string& path);

// The note that a file or folder cannot be read, for the system's error number.
ReadNote CannotRead(const std::string& where, int error);

}  // namespace experiment
