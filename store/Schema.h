#pragma once
#include <optional>
#include <string>

class QSqlDatabase;

namespace store {

// The class database's layout: one table of trials with the per-trial file's
// columns, the lab machine's name and the server's time of receipt, keyed by
// (session, host, trial); a table holding the layout's version, so that a
// later version can migrate; and a trigger that notifies "rocrating_trials"
// after every insert, for live class views.
inline constexpr int kSchemaVersion = 2;
inline constexpr const char* kNotification = "rocrating_trials";

// Creates what is missing; changes nothing that is there. Empty on success,
// else what went wrong.
std::optional<std::string> CreateSchema(QSqlDatabase& db);

// Whether the database holds this version's layout: empty when it does,
// else why not, in the user's words.
std::optional<std::string> CheckSchema(QSqlDatabase& db);

// The statements a teacher runs once as the database's owner: a student role
// that may only insert trials and a teacher role that may read them.
std::string GrantStatements();

// --store-init: connects, creates the schema, prints the grant statements.
// 0, or 2 with the reason on err.
int RunStoreInit(const std::string& conninfo, std::ostream& out, std::ostream& err);

}  // namespace store
