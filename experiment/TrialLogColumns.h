#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "ReadNote.h"
#include "TrialLog.h"

namespace experiment {

// How a row's phase and stimulus are spelt, in the file and in the class
// database alike.
constexpr std::string_view PhaseName(bool practice) { return practice ? "practice" : "recorded"; }
constexpr std::string_view StimulusName(StimulusKind stimulus) { return stimulus == kNoise ? "noise" : "signal"; }

// A column's value as the class database keeps it: text, a whole number or a
// double, which the column's SQL type says.
using TrialLogValue = std::variant<std::string, std::int64_t, double>;
enum class SqlType { kText, kInteger, kBigint, kDoublePrecision };

// One column of the per-trial row: its name (the file's header name and the
// database's column name), how a row's value is written to the file and how
// a field is read back into a row (the rule it broke when it holds no valid
// value),
// and its value in the database: the SQL type, the value of a row and how
// that value is put back into a row. The table below is the row's format: the
// file's header, writer and reader and the database's table, insert and
// select all follow it.
struct TrialLogColumn {
  std::string_view Name;
  bool ClassOnly;  // written only in the class format; read as the standard design's value when absent
  bool Optional;   // a class file may lack it (begun by an earlier version); read as 0 then
  void (*Write)(const TrialLogRow& row, std::string& line);
  FieldCheck (*Read)(std::string_view field, TrialLogRow& row);
  SqlType Type;
  TrialLogValue (*Get)(const TrialLogRow& row);
  // The value holds the alternative of the column's type.
  void (*Set)(const TrialLogValue& value, TrialLogRow& row);
};

// The columns in the order they are written; a format writes those it has.
std::span<const TrialLogColumn> TrialLogColumns();
bool HasColumn(TrialLogFormat format, const TrialLogColumn& column);

}  // namespace experiment
