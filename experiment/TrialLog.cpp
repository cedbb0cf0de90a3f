#include "TrialLog.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <tuple>
#include <utility>

#include "Csv.h"
#include "FileAccess.h"
#include "FileText.h"
#include "TrialLogColumns.h"

namespace experiment {

namespace {

std::string Reason(int error) { return std::strerror(error); }

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Reads up to size bytes at offset; the bytes read, or empty on an error.
std::string ReadText(int fd, std::int64_t offset, std::size_t size) {
  std::string text(size, '\0');
  const std::int64_t n = ReadAt(fd, offset, text.data(), size);
  text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return text;
}

// Where each column stands in a file's header, and the file's format; empty
// when the line is not a header of ours. A column the format lacks stands
// nowhere (npos).
struct Header : TrialLogLayout {
  TrialLogFormat format;
};

std::optional<Header> ParseHeader(const std::vector<std::string>& fields) {
  Header header{{{}, fields.size()}, TrialLogFormat::kPlain};
  int classColumns = 0, classFound = 0;
  for (const TrialLogColumn& column : TrialLogColumns()) {
    const auto found = std::find(fields.begin(), fields.end(), column.Name);
    const bool counts = column.ClassOnly && !column.Optional;
    classColumns += counts;
    if (found == fields.end()) {
      if (!column.ClassOnly) return std::nullopt;
      header.at.push_back(std::string::npos);
      continue;
    }
    classFound += counts;
    header.at.push_back(static_cast<std::size_t>(found - fields.begin()));
  }
  if (classFound != 0 && classFound != classColumns) return std::nullopt;
  if (classFound != 0) header.format = TrialLogFormat::kClass;
  return header;
}

std::optional<Header> ParseHeaderLine(std::string_view line) {
  if (line.ends_with('\r')) line.remove_suffix(1);
  const auto fields = SplitCsvFields(line);
  return fields ? ParseHeader(*fields) : std::nullopt;
}

// The layout of a file a format begins: its columns in the table's order.
TrialLogLayout FormatLayout(TrialLogFormat format) {
  TrialLogLayout layout;
  for (const TrialLogColumn& column : TrialLogColumns())
    layout.at.push_back(HasColumn(format, column) ? layout.fields++ : std::string::npos);
  return layout;
}

// Columns of the layout that are not ours stay empty.
std::string FormatLine(const TrialLogRow& row, const TrialLogLayout& layout) {
  std::vector<std::string> fields(layout.fields);
  for (std::size_t c = 0; c < layout.at.size(); ++c) {
    if (layout.at[c] != std::string::npos) TrialLogColumns()[c].Write(row, fields[layout.at[c]]);
  }
  std::string line;
  for (std::size_t f = 0; f < fields.size(); ++f) (line += f == 0 ? "" : ",") += fields[f];
  return line + '\n';
}

std::string HeaderText(TrialLogFormat format) {
  std::string line = TrialLogHeaderLine(format);
  line.pop_back();
  return line;
}

// What a row must be in the design its session ran: a trial of the design,
// the phase of that trial.
std::optional<ReadNote> CheckAgainstDesign(const TrialLogRow& row, const Design& design) {
  const std::string trial = std::to_string(row.Trial);
  if (row.Trial > design.TotalTrials())
    return ReadNote{NoteCode::kTrialBeyondDesign, {}, 0, {trial, std::to_string(design.TotalTrials())}};
  if (row.Practice != design.IsPractice(row.Trial)) {
    return ReadNote{NoteCode::kPhaseOfTrial, {}, 0,
                    {std::string(PhaseName(row.Practice)), trial, std::string(PhaseName(design.IsPractice(row.Trial)))}};
  }
  return std::nullopt;
}

// A header line of either separator: the comma, or the semicolon of a
// spreadsheet whose decimal mark is the comma.
std::optional<std::pair<Header, char>> HeaderOf(std::string_view line) {
  for (const char separator : {',', ';'}) {
    const auto fields = SplitCsvFields(line, separator);
    if (!fields) continue;
    if (std::optional<Header> header = ParseHeader(*fields)) return std::make_pair(*header, separator);
  }
  return std::nullopt;
}

// A row of the header's columns; the rule a field broke when it holds no
// valid value. In a file separated by ';' a number's decimal mark is ','.
std::optional<ReadNote> ReadRow(const std::vector<std::string>& fields, const Header& header, char separator,
                                TrialLogRow& row) {
  for (std::size_t c = 0; c < header.at.size(); ++c) {
    if (header.at[c] == std::string::npos) continue;
    const TrialLogColumn& column = TrialLogColumns()[c];
    std::string field = fields[header.at[c]];
    if (separator == ';' && column.Type == SqlType::kDoublePrecision) std::replace(field.begin(), field.end(), ',', '.');
    if (const FieldCheck read = column.Read(field, row); !read)
      return ReadNote{NoteCode::kBadField, {}, 0, {std::string(column.Name), fields[header.at[c]]}, *read.broken};
  }
  // A plain file's rows are the standard design's, its recorded trials
  // included; a class file's phase is its own, since the design's practice
  // trials are not in the file.
  if (header.format == TrialLogFormat::kPlain) {
    if (std::optional<ReadNote> wrong = CheckAgainstDesign(row, Design::Standard())) return wrong;
    row.DesignRecorded = Design::Standard().RecordedTrials;
  }
  if (row.Response > row.Categories) {
    return ReadNote{NoteCode::kRatingBeyondScale, {}, 0, {std::to_string(row.Response), std::to_string(row.Categories)}};
  }
  return std::nullopt;
}

// The lines of a file's text into contents: its sessions, the lines left
// out, how it was read.
void ParseLines(std::string_view text, const std::string& file, TrialLogContents& contents) {
  std::optional<Header> header;  // set by the first header line
  char separator = ',';
  std::map<std::pair<std::string, std::uint32_t>, std::size_t> sessionOf;
  std::set<std::tuple<std::string, std::uint32_t, std::int32_t>> trialsSeen;
  std::size_t lineNumber = 0;
  const auto skip = [&](ReadNote note) {
    note.where = file;
    note.line = lineNumber;
    contents.Skipped.push_back(std::move(note));
  };
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    ++lineNumber;
    if (line.ends_with('\r')) line.remove_suffix(1);
    // Blank, or empty fields only.
    if (line.find_first_not_of(header ? std::string{separator, ' ', '\t'} : ",; \t") == std::string_view::npos)
      continue;
    const auto headerHere = HeaderOf(line);
    if (headerHere && (!header || headerHere->second == separator)) {
      if (!header) {  // a header repeated by joining files is skipped
        std::tie(header, separator) = *headerHere;
        contents.Format = header->format;
        if (separator == ';') contents.Notes.push_back({NoteCode::kReadWithSemicolons, file});
      }
      continue;
    }
    if (!header) {
      contents.Error = ReadNote{NoteCode::kNotAHeader, file, lineNumber,
                                {HeaderText(TrialLogFormat::kPlain), HeaderText(TrialLogFormat::kClass)}};
      return;
    }
    const auto fields = SplitCsvFields(line, separator);
    if (!fields) {
      skip({NoteCode::kMalformedQuotes});
      continue;
    }
    if (fields->size() != header->fields) {
      skip({NoteCode::kFieldCount, {}, 0, {std::to_string(header->fields), std::to_string(fields->size())}});
      continue;
    }
    TrialLogRow row{};
    if (std::optional<ReadNote> wrong = ReadRow(*fields, *header, separator, row)) {
      skip(std::move(*wrong));
      continue;
    }
    if (!trialsSeen.insert({row.Session, row.Seed, row.Trial}).second) {
      skip({NoteCode::kTrialAgain, {}, 0, {std::to_string(row.Trial), row.Session}});
      continue;
    }
    const auto key = std::make_pair(row.Session, row.Seed);
    auto [at, added] = sessionOf.try_emplace(key, contents.Sessions.size());
    if (added) contents.Sessions.push_back({row.Session, row.Seed, {}, row.Observer, row.DesignName, row.Categories});
    contents.Sessions[at->second].Rows.push_back(std::move(row));
  }
}

// Whether rows of the format may go on in a file that holds text: the file
// is empty or ours, of that format, in UTF-8 and separated by commas as this
// program writes. The header's layout when it has one.
numeric::Status Appendable(const std::string& path, TrialLogFormat format, std::string_view text,
                           std::optional<Header>& header) {
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  std::string_view first = text.substr(0, text.find('\n'));
  header = ParseHeaderLine(first);
  if (first.ends_with('\r')) first.remove_suffix(1);
  const std::string refused = "will not append to " + path + ": ";
  if (text.empty()) return {};
  if (DecodeFileText(text).encoding != TextEncoding::kUtf8) {
    return numeric::Fail(refused + "it is not UTF-8 text (a spreadsheet may have saved it as Shift_JIS), "
                                   "and this program writes UTF-8; give another file");
  }
  if (!header && HeaderOf(first)) {
    return numeric::Fail(refused + "its fields are separated by \";\" (a spreadsheet may have saved it so), "
                                   "and this program writes \",\"; give another file");
  }
  if (!header) {
    return numeric::Fail(refused + "it is not a per-trial file (its first line is not the header " +
                         HeaderText(format) + ")");
  }
  if (header->format != format) {
    return numeric::Fail(refused + "it holds per-trial rows of the other format (" + HeaderText(header->format) +
                         "), this run writes " + HeaderText(format) + "; give another file");
  }
  return {};
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

std::string TrialLogHeaderLine(TrialLogFormat format) {
  std::string line;
  for (const TrialLogColumn& column : TrialLogColumns()) {
    if (HasColumn(format, column)) (line += line.empty() ? "" : ",") += column.Name;
  }
  return line + '\n';
}

std::string FormatTrialLogLine(const TrialLogRow& row, TrialLogFormat format) {
  return FormatLine(row, FormatLayout(format));
}

TrialLogFile::TrialLogFile(TrialLogFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)), format_(other.format_),
      layout_(std::move(other.layout_)) {}

TrialLogFile& TrialLogFile::operator=(TrialLogFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) CloseFile(fd_);
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
    format_ = other.format_;
    layout_ = std::move(other.layout_);
  }
  return *this;
}

TrialLogFile::~TrialLogFile() {
  if (fd_ >= 0) CloseFile(fd_);
}

numeric::Status TrialLogFile::Open(const std::string& path, TrialLogFormat format) {
  if (fd_ >= 0) CloseFile(fd_);
  path_ = path;
  format_ = format;
  layout_ = FormatLayout(format);
  fd_ = OpenForAppending(path);
  if (fd_ < 0) return numeric::Fail("cannot open " + path + " for appending: " + Reason(errno));
  FileFacts facts;
  if (InspectFile(fd_, facts) == 0 && facts.regular && facts.size > 0) {
    std::optional<Header> header;
    const std::string held = ReadText(fd_, 0, static_cast<std::size_t>(facts.size));
    if (numeric::Status fits = Appendable(path, format, held, header); !fits) {
      CloseFile(fd_);
      fd_ = -1;
      return fits;
    }
    if (header) layout_ = *header;
  }
  return {};
}

numeric::Status TrialSink::AppendAll(const std::vector<TrialLogRow>& rows) {
  for (const TrialLogRow& row : rows) {
    if (numeric::Status kept = Append(row); !kept) return kept;
  }
  return {};
}

numeric::Status TrialLogFile::Append(const TrialLogRow& row) { return AppendAll({row}); }

numeric::Status TrialLogFile::AppendAll(const std::vector<TrialLogRow>& rows) {
  if (fd_ < 0) return numeric::Fail("cannot write to " + path_ + ": the file is not open");
  if (rows.empty()) return {};
  std::string text;
  int error = 0;
  // The lock makes "empty? then the header; cut short? then a line end" one
  // step across processes.
  if (const int lockError = LockAppends(fd_); lockError != 0) {
    return numeric::Fail("cannot lock " + path_ + ": " + Reason(lockError));
  }
  FileFacts facts;
  error = InspectFile(fd_, facts);
  if (error == 0) {
    if (facts.size == 0) {
      layout_ = FormatLayout(format_);
      text = TrialLogHeaderLine(format_);
    } else if (facts.regular && ReadText(fd_, facts.size - 1, 1) != "\n") {
      text = '\n';
    }
    for (const TrialLogRow& row : rows) text += FormatLine(row, layout_);
    error = WriteDurably(fd_, text);
    // Rows written in part would be kept twice when they are sent again.
    if (error != 0 && facts.regular) (void)CutTo(fd_, facts.size);
  }
  UnlockAppends(fd_);
  if (error != 0) return numeric::Fail("cannot write to " + path_ + ": " + Reason(error));
  return {};
}

ReadNote CannotRead(const std::string& where, int error) {
  return {NoteCode::kCannotRead, where, 0, {Reason(error)}, {}, error};
}

bool IsTrialLogHeader(std::string_view line) {
  if (line.starts_with(kByteOrderMark)) line.remove_prefix(kByteOrderMark.size());
  if (line.ends_with('\n')) line.remove_suffix(1);
  return ParseHeaderLine(line).has_value();
}

TrialLogContents ParseTrialLog(std::string_view bytes, std::string_view fileName) {
  TrialLogContents contents;
  const std::string file(fileName);
  if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
  const FileText decoded = DecodeFileText(bytes);
  if (decoded.encoding == TextEncoding::kNeither) {
    contents.Error = ReadNote{NoteCode::kNotText, file, decoded.badLine};
    return contents;
  }
  if (decoded.encoding == TextEncoding::kCp932) contents.Notes.push_back({NoteCode::kReadAsCp932, file});
  ParseLines(decoded.encoding == TextEncoding::kCp932 ? std::string_view(decoded.converted) : bytes, file, contents);
  if (contents.Sessions.empty() && !contents.Error) contents.Error = ReadNote{NoteCode::kNoSessions, file};
  return contents;
}

std::int32_t DesignRecorded(const std::vector<TrialLogRow>& rows) {
  std::int32_t recorded = 0;
  for (const TrialLogRow& row : rows) recorded = std::max(recorded, row.DesignRecorded);
  return recorded;
}

TrialLogContents ReadTrialLog(const std::string& path) {
  TrialLogContents contents;
  const int fd = OpenForReading(path);
  if (fd < 0) {
    contents.Error = CannotRead(path, errno);
    return contents;
  }
  std::string text;
  const int error = ReadToEnd(fd, text);
  CloseFile(fd);
  if (error != 0) {
    contents.Error = CannotRead(path, error);
    return contents;
  }
  return ParseTrialLog(text, path);
}

numeric::Status WriteTrialLog(const std::string& path, const std::vector<TrialLogRow>& rows,
                              TrialLogFormat format) {
  std::string text = TrialLogHeaderLine(format);
  for (const TrialLogRow& row : rows) text += FormatTrialLogLine(row, format);
  const std::string temporary = path + ".part";
  const int fd = OpenForReplacing(temporary);
  if (fd < 0) return numeric::Fail("cannot write to " + path + ": " + Reason(errno));
  int error = WriteDurably(fd, text);
  if (CloseFile(fd) != 0 && error == 0) error = errno;
  if (error == 0) error = RenameOver(temporary, path);
  if (error != 0) {
    RemoveFile(temporary);
    return numeric::Fail("cannot write to " + path + ": " + Reason(error));
  }
  return {};
}

}  // namespace experiment
