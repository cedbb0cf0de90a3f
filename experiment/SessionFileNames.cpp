#include "SessionFileNames.h"

#include <charconv>
#include <cstdio>

namespace experiment {

namespace {

bool ReadNumber(std::string_view text, std::size_t at, std::size_t digits, int& value) {
  if (at + digits > text.size()) return false;
  const char* first = text.data() + at;
  const auto result = std::from_chars(first, first + digits, value);
  return result.ec == std::errc{} && result.ptr == first + digits;
}

// "name.ext" -> {"name", ".ext"}; a leading dot is no extension.
std::pair<std::string_view, std::string_view> SplitExtension(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return {name, {}};
  return {name.substr(0, dot), name.substr(dot)};
}

}  // namespace

std::optional<std::tm> SessionLocalTime(std::string_view session) {
  // YYYY-MM-DDTHH:MM:SS, then anything up to the closing Z.
  std::tm utc{};
  int year = 0, month = 0;
  if (session.size() < 20 || session.back() != 'Z' || session[4] != '-' || session[7] != '-' ||
      session[10] != 'T' || session[13] != ':' || session[16] != ':' || !ReadNumber(session, 0, 4, year) ||
      !ReadNumber(session, 5, 2, month) || !ReadNumber(session, 8, 2, utc.tm_mday) ||
      !ReadNumber(session, 11, 2, utc.tm_hour) || !ReadNumber(session, 14, 2, utc.tm_min) ||
      !ReadNumber(session, 17, 2, utc.tm_sec)) {
    return std::nullopt;
  }
  utc.tm_year = year - 1900;
  utc.tm_mon = month - 1;
#ifdef _WIN32
  const std::time_t t = ::_mkgmtime(&utc);
  std::tm local{};
  if (t == static_cast<std::time_t>(-1) || ::localtime_s(&local, &t) != 0) return std::nullopt;
#else
  const std::time_t t = ::timegm(&utc);
  std::tm local{};
  if (t == static_cast<std::time_t>(-1) || ::localtime_r(&t, &local) == nullptr) return std::nullopt;
#endif
  return local;
}

std::string FormatLocalStamp(const std::tm& local, bool withSeconds) {
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d_%02d-%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                local.tm_hour, local.tm_min);
  std::string stamp = text;
  if (withSeconds) {
    std::snprintf(text, sizeof text, "-%02d", local.tm_sec);
    stamp += text;
  }
  return stamp;
}

namespace {

// "_<observer>" with what a file name cannot hold on common systems (path
// separators, reserved marks, control characters) as "_"; empty without one.
std::string ObserverPart(std::string_view observer) {
  if (observer.empty()) return {};
  std::string part = "_";
  for (char c : observer) {
    const bool reserved = static_cast<unsigned char>(c) < 0x20 || std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
    part += reserved ? '_' : c;
  }
  return part;
}

}  // namespace

std::string AutosaveFileName(std::string_view session, std::string_view observer) {
  const std::optional<std::tm> local = SessionLocalTime(session);
  return (local ? FormatLocalStamp(*local, true) : std::string("session")) + ObserverPart(observer) + ".csv";
}

std::string ProposedSaveName(std::string_view stem, std::string_view session, std::string_view extension,
                             std::string_view observer) {
  std::string name(stem);
  if (const std::optional<std::tm> local = SessionLocalTime(session)) name.append("_").append(FormatLocalStamp(*local, false));
  return name + ObserverPart(observer) + "." + std::string(extension);
}

std::string WithDefaultExtension(std::string_view path, std::string_view extension) {
  if (path.empty()) return {};
  const std::size_t slash = path.rfind('/');
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  if (name.empty() || name.find('.') != std::string_view::npos) return std::string(path);
  return std::string(path) + "." + std::string(extension);
}

std::string UniquePath(std::string_view folder, std::string_view name,
                       const std::function<bool(const std::string&)>& taken) {
  std::string prefix(folder);
  if (!prefix.empty() && prefix.back() != '/') prefix += '/';
  std::string path = prefix + std::string(name);
  const auto [base, extension] = SplitExtension(name);
  for (int n = 2; taken(path); ++n) path = prefix + std::string(base) + "-" + std::to_string(n) + std::string(extension);
  return path;
}

}  // namespace experiment
