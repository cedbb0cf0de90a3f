#include "TrialLogColumns.h"

#include "Csv.h"

#include <charconv>
#include <cmath>
#include <type_traits>

namespace experiment {

namespace {

template <typename T>
void Append(std::string& line, T value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  line.append(buffer, result.ptr);
}

template <typename T>
bool ParseInteger(std::string_view text, T& value) {
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  return !text.empty() && text[0] != '-' && result.ec == std::errc{} && result.ptr == end;
}

// Milliseconds in fixed notation.
void AppendMs(std::string& line, double ms, int decimals) {
  char text[48];
  const auto end = std::to_chars(text, text + sizeof text, ms, std::chars_format::fixed, decimals);
  line.append(text, end.ptr);
}

FieldCheck ParseMs(std::string_view f, double& ms) {
  const char* end = f.data() + f.size();
  const auto result = std::from_chars(f.data(), end, ms, std::chars_format::fixed);
  if (f.empty() || result.ec != std::errc{} || result.ptr != end || !std::isfinite(ms) || ms < 0) {
    return Broke(FieldRule::kMilliseconds);
  }
  return {};
}

// "2026-12-08T19:20:31.123Z": digits where the example has digits.
bool IsSessionTime(std::string_view text) {
  constexpr std::string_view kShape = "0000-00-00T00:00:00.000Z";
  if (text.size() != kShape.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (kShape[i] == '0' ? (text[i] < '0' || text[i] > '9') : text[i] != kShape[i]) return false;
  }
  return true;
}

// A member's value for the database, and back: text as it is, a whole number
// widened to 64 bits, a double in full.
template <auto Member>
TrialLogValue Get(const TrialLogRow& row) {
  using T = std::remove_cvref_t<decltype(row.*Member)>;
  if constexpr (std::is_integral_v<T>) {
    return static_cast<std::int64_t>(row.*Member);
  } else {
    return row.*Member;
  }
}

template <auto Member>
void Set(const TrialLogValue& value, TrialLogRow& row) {
  using T = std::remove_cvref_t<decltype(row.*Member)>;
  if constexpr (std::is_integral_v<T>) {
    row.*Member = static_cast<T>(std::get<std::int64_t>(value));
  } else if constexpr (std::is_floating_point_v<T>) {
    row.*Member = std::get<double>(value);
  } else {
    row.*Member = std::get<std::string>(value);
  }
}

const TrialLogColumn kColumns[] = {
    {"session", false, false, [](const TrialLogRow& r, std::string& line) { line += r.Session; },
     [](std::string_view f, TrialLogRow& r) -> FieldCheck {
       if (!IsSessionTime(f)) return Broke(FieldRule::kUtcTime);
       r.Session = f;
       return {};
     },
     SqlType::kText, Get<&TrialLogRow::Session>, Set<&TrialLogRow::Session>},
    {"observer", true, false, [](const TrialLogRow& r, std::string& line) { line += CsvField(r.Observer); },
     [](std::string_view f, TrialLogRow& r) -> FieldCheck {
       r.Observer = f;
       return {};
     },
     SqlType::kText, Get<&TrialLogRow::Observer>, Set<&TrialLogRow::Observer>},
    {"design", true, false, [](const TrialLogRow& r, std::string& line) { line += CsvField(r.DesignName); },
     [](std::string_view f, TrialLogRow& r) -> FieldCheck {
       if (f.empty()) return Broke(FieldRule::kName);
       r.DesignName = f;
       return {};
     },
     SqlType::kText, Get<&TrialLogRow::DesignName>, Set<&TrialLogRow::DesignName>},
    {"categories", true, false, [](const TrialLogRow& r, std::string& line) { Append(line, r.Categories); },
     [](std::string_view f, TrialLogRow& r) -> FieldCheck {
       if (!ParseInteger(f, r.Categories) || r.Categories < 2 || r.Categories > kMaxCategories)
         return Broke(FieldRule::kCategories);
       return {};
     },
     SqlType::kInteger, Get<&TrialLogRow::Categories>, Set<&TrialLogRow::Categories>},
    {"design_recorded", true, true, [](const TrialLogRow& r, std::string& line) { Append(line, r.DesignRecorded); },
     [](std::string_view f, TrialLogRow& r) -> FieldCheck {
       if (!ParseInteger(f, r.DesignRecorded)) return Broke(FieldRule::kTrialCount);
       return {};
     },
     SqlType::kInteger, Get<&TrialLogRow::DesignRecorded>, Set<&TrialLogRow::DesignRecorded>},
    {"seed", false, false, [](const TrialLogRow& r, std::string& line) { Append(line, r.Seed); },
     [](std::string_view f, TrialLogRow& r) -> FieldCheck {
       if (!ParseInteger(f, r.Seed)) return Broke(FieldRule::kSeed);
       return {};
     },
     SqlType::kBigint, Get<&TrialLogRow::Seed>, Set<&TrialLogRow::Seed>},
    {"trial", false, false, [](const TrialLogRow& r, std::string& line) { Append(line, r.Trial); },
     [](std::string_view f, TrialLogRow& r) -> FieldCheck {
       if (!ParseInteger(f, r.Trial) || r.Trial < 1) return Broke(FieldRule::kTrial);
       return {};
     },
     SqlType::kInteger, Get<&TrialLogRow::Trial>, Set<&TrialLogRow::Trial>},
    {"phase", false, false, [](const TrialLogRow& r, std::string& line) { line += PhaseName(r.Practice); },
     [](std::string_view f, TrialLogRow& r) -> FieldCheck {
       if (f != PhaseName(true) && f != PhaseName(false)) return Broke(FieldRule::kPhase);
       r.Practice = f == PhaseName(true);
       return {};
     },
     SqlType::kText, [](const TrialLogRow& r) -> TrialLogValue { return std::string(PhaseName(r.Practice)); },
     [](const TrialLogValue& v, TrialLogRow& r) { r.Practice = std::get<std::string>(v) == PhaseName(true); }},
    {"stimulus", false, false, [](const TrialLogRow& r, std::string& line) { line += StimulusName(r.Stimulus); },
     [](std::string_view f, TrialLogRow& r) -> FieldCheck {
       if (f != StimulusName(kNoise) && f != StimulusName(kSignal)) return Broke(FieldRule::kStimulus);
       r.Stimulus = f == StimulusName(kNoise) ? kNoise : kSignal;
       return {};
     },
     SqlType::kText, [](const TrialLogRow& r) -> TrialLogValue { return std::string(StimulusName(r.Stimulus)); },
     [](const TrialLogValue& v, TrialLogRow& r) {
       r.Stimulus = std::get<std::string>(v) == StimulusName(kNoise) ? kNoise : kSignal;
     }},
    {"response", false, false, [](const TrialLogRow& r, std::string& line) { Append(line, r.Response); },
     [](std::string_view f, TrialLogRow& r) -> FieldCheck {
       if (!ParseInteger(f, r.Response) || r.Response < 1) return Broke(FieldRule::kRating);
       return {};
     },
     SqlType::kInteger, Get<&TrialLogRow::Response>, Set<&TrialLogRow::Response>},
    {"exposure_ms", false, false, [](const TrialLogRow& r, std::string& line) { AppendMs(line, r.ExposureMs, 1); },
     [](std::string_view f, TrialLogRow& r) { return ParseMs(f, r.ExposureMs); },
     SqlType::kDoublePrecision, Get<&TrialLogRow::ExposureMs>, Set<&TrialLogRow::ExposureMs>},
    {"asked_ms", true, true, [](const TrialLogRow& r, std::string& line) { AppendMs(line, r.AskedMs, 1); },
     [](std::string_view f, TrialLogRow& r) { return ParseMs(f, r.AskedMs); },
     SqlType::kDoublePrecision, Get<&TrialLogRow::AskedMs>, Set<&TrialLogRow::AskedMs>},
    {"frame_ms", true, true, [](const TrialLogRow& r, std::string& line) { AppendMs(line, r.FrameMs, 2); },
     [](std::string_view f, TrialLogRow& r) { return ParseMs(f, r.FrameMs); },
     SqlType::kDoublePrecision, Get<&TrialLogRow::FrameMs>, Set<&TrialLogRow::FrameMs>},
    {"rating_ms", false, false, [](const TrialLogRow& r, std::string& line) { Append(line, r.RatingMs); },
     [](std::string_view f, TrialLogRow& r) -> FieldCheck {
       if (!ParseInteger(f, r.RatingMs)) return Broke(FieldRule::kWholeMilliseconds);
       return {};
     },
     SqlType::kBigint, Get<&TrialLogRow::RatingMs>, Set<&TrialLogRow::RatingMs>},
};

}  // namespace

std::span<const TrialLogColumn> TrialLogColumns() { return kColumns; }

bool HasColumn(TrialLogFormat format, const TrialLogColumn& column) {
  return format == TrialLogFormat::kClass || !column.ClassOnly;
}

}  // namespace experiment
