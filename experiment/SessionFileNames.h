#pragma once
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace experiment {

// Names of files made from a session's time, so that every run and every save
// gets a name of its own that a teacher can sort by.

// The session's UTC time ("2026-12-08T19:20:31.123Z", as the per-trial file
// holds it) in the local time zone; nullopt when it is not such a time.
std::optional<std::tm> SessionLocalTime(std::string_view session);

// "2026-12-09_04-20-31" with seconds, "2026-12-09_04-20" without.
std::string FormatLocalStamp(const std::tm& local, bool withSeconds);

// A run's own per-trial file: "2026-12-09_04-20-31.csv" from its session's
// local time ("session.csv" when the session holds no time), with
// "_<observer>" before the extension when the observer is named.
std::string AutosaveFileName(std::string_view session, std::string_view observer = {});

// What a save dialog proposes: "<stem>_2026-12-09_04-20.<extension>" from the
// session's local time, "<stem>.<extension>" without one; with the observer
// as for AutosaveFileName.
std::string ProposedSaveName(std::string_view stem, std::string_view session, std::string_view extension,
                             std::string_view observer = {});

// The path with ".<extension>" added when its file name has no extension (no
// "." in the part after the last "/"); an empty path stays empty.
std::string WithDefaultExtension(std::string_view path, std::string_view extension);

// name in folder, or, when that is taken, "<base>-2.<ext>", "<base>-3.<ext>"...:
// the first full path for which taken is false.
std::string UniquePath(std::string_view folder, std::string_view name,
                       const std::function<bool(const std::string&)>& taken);

}  // namespace experiment
