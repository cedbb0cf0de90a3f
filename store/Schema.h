#pragma once
#include <QString>
#include <iterator>
#include <span>
#include <string>
#include <string_view>

#include "experiment/TrialLog.h"
#include "numeric/Result.h"

class QSqlDatabase;
class QSqlQuery;

namespace store {

// The class database's layout: one table of trials with the columns of the
// per-trial row (experiment/TrialLogColumns.h), the lab machine's name and
// the server's time of receipt, keyed by (session, host, trial); a table
// holding the layout's version, so that a later version can migrate; and
// triggers that notify "rocrating_trials" of every change, naming the
// session that changed (a JSON array of session and host; empty when all may
// have), for live class views.
//
// The steps that bring a database of an earlier version up to this one, in
// order: the step at index i takes version i + 1 to i + 2 by adding the named
// columns of the row (NOT NULL; 0, or empty text, in the rows already there).
// A fresh database gets every column at once.
inline constexpr std::string_view kAddedInVersion2[] = {"asked_ms", "frame_ms"};
inline constexpr std::string_view kAddedInVersion3[] = {"design_recorded"};
inline constexpr std::span<const std::string_view> kMigrationSteps[] = {kAddedInVersion2, kAddedInVersion3};
inline constexpr int kSchemaVersion = 1 + static_cast<int>(std::size(kMigrationSteps));
inline constexpr const char* kNotification = "rocrating_trials";

// The statement that inserts one row of trials unless it is there: every
// value a placeholder, bound by BindTrial.
QString InsertTrialStatement();
void BindTrial(QSqlQuery& insert, const std::string& host, const experiment::TrialLogRow& row);

// The statement that reads every row of trials, ordered by session, host and
// trial; TrialAt reads the query's current row back, and into host the lab
// machine that sent it.
QString SelectTrialsStatement();
// The same for one session of one lab machine, bound in that order, ordered by trial.
QString SelectSessionStatement();
experiment::TrialLogRow TrialAt(const QSqlQuery& select, std::string& host);

// Creates what is missing; changes nothing that is there. On failure, what
// went wrong.
numeric::Status CreateSchema(QSqlDatabase& db);

// Whether the database holds this version's layout; when not, why not, in
// the user's words.
numeric::Status CheckSchema(QSqlDatabase& db);

// The statements a teacher runs once as the database's owner: a student role
// that may only insert trials and a teacher role that may read them.
std::string GrantStatements();

// --store-init: connects, creates the schema, prints the grant statements.
// 0, or 2 with the reason on err.
int RunStoreInit(const std::string& conninfo, std::ostream& out, std::ostream& err);

}  // namespace store
