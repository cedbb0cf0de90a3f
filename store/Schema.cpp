#include "Schema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <algorithm>
#include <ostream>
#include <variant>
#include <vector>

#include "Connection.h"
#include "experiment/TrialLogColumns.h"

namespace store {

namespace {

using experiment::SqlType;
using experiment::TrialLogColumn;
using experiment::TrialLogColumns;

QString Name(const TrialLogColumn& column) {
  return QString::fromUtf8(column.Name.data(), static_cast<qsizetype>(column.Name.size()));
}

QString TypeName(SqlType type) {
  switch (type) {
    case SqlType::kText: return QStringLiteral("text");
    case SqlType::kInteger: return QStringLiteral("integer");
    case SqlType::kBigint: return QStringLiteral("bigint");
    case SqlType::kDoublePrecision: return QStringLiteral("double precision");
  }
  return {};
}

// Whether a migration step adds the column, which then has a default for the
// rows already there; a fresh table has the same default.
bool AddedByAStep(const TrialLogColumn& column) {
  return std::ranges::any_of(kMigrationSteps,
                             [&](const auto step) { return std::ranges::find(step, column.Name) != step.end(); });
}

QString Definition(const TrialLogColumn& column) {
  QString definition = Name(column) + ' ' + TypeName(column.Type) + " NOT NULL";
  if (AddedByAStep(column)) definition += column.Type == SqlType::kText ? " DEFAULT ''" : " DEFAULT 0";
  return definition;
}

// The row's columns, then the lab machine's name and the time of receipt.
QString CreateTrials() {
  QString columns;
  for (const TrialLogColumn& column : TrialLogColumns()) columns += Definition(column) + ", ";
  return "CREATE TABLE IF NOT EXISTS trials (" + columns +
         "host text NOT NULL, received_at timestamptz NOT NULL DEFAULT now(), PRIMARY KEY (session, host, trial))";
}

// A step of kMigrationSteps as one statement, which changes nothing when run
// again; empty when the step names a column the row lacks.
QString MigrationStep(std::span<const std::string_view> added) {
  const auto columns = TrialLogColumns();
  QStringList changes;
  for (std::string_view name : added) {
    const auto column = std::ranges::find(columns, name, &TrialLogColumn::Name);
    if (column == columns.end()) return {};
    changes << "ADD COLUMN IF NOT EXISTS " + Definition(*column);
  }
  return "ALTER TABLE trials " + changes.join(QStringLiteral(", "));
}

struct Statement {
  QString sql;
  QVariantList values;  // bound to its placeholders in order
};

// What CreateSchema runs, in order; each changes nothing that is there.
std::vector<Statement> SchemaStatements() {
  std::vector<Statement> statements{
      {QStringLiteral("CREATE TABLE IF NOT EXISTS rocrating_schema (version integer NOT NULL)"), {}},
      {CreateTrials(), {}}};
  for (const auto step : kMigrationSteps) statements.push_back({MigrationStep(step), {}});
  // A row's notification names its session, as [session, host] in JSON, so
  // that a live view reads that session alone; a statement's (a TRUNCATE)
  // names none: everything is read again.
  statements.push_back(
      {QStringLiteral("CREATE OR REPLACE FUNCTION rocrating_notify() RETURNS trigger LANGUAGE plpgsql AS $$"
                      " DECLARE r trials;"
                      " BEGIN"
                      "  IF TG_LEVEL = 'STATEMENT' THEN PERFORM pg_notify('rocrating_trials', ''); RETURN NULL; END IF;"
                      "  IF TG_OP = 'DELETE' THEN r := OLD; ELSE r := NEW; END IF;"
                      "  PERFORM pg_notify('rocrating_trials', json_build_array(r.session, r.host)::text);"
                      "  RETURN NULL;"
                      " END $$"),
       {}});
  statements.push_back({QStringLiteral("CREATE OR REPLACE TRIGGER trials_notify AFTER INSERT OR UPDATE OR DELETE"
                                       " ON trials FOR EACH ROW EXECUTE FUNCTION rocrating_notify()"),
                        {}});
  statements.push_back({QStringLiteral("CREATE OR REPLACE TRIGGER trials_truncated AFTER TRUNCATE"
                                       " ON trials FOR EACH STATEMENT EXECUTE FUNCTION rocrating_notify()"),
                        {}});
  statements.push_back({QStringLiteral("INSERT INTO rocrating_schema (version) SELECT CAST(? AS integer)"
                                       " WHERE NOT EXISTS (SELECT 1 FROM rocrating_schema)"),
                        {kSchemaVersion}});
  statements.push_back(
      {QStringLiteral("UPDATE rocrating_schema SET version = ? WHERE version < ?"), {kSchemaVersion, kSchemaVersion}});
  return statements;
}

numeric::Status Run(QSqlDatabase& db, const Statement& statement) {
  if (statement.sql.isEmpty()) return numeric::Fail("a migration step names a column the trials do not have");
  QSqlQuery query(db);
  bool done;
  if (statement.values.isEmpty()) {
    done = query.exec(statement.sql);
  } else {
    done = query.prepare(statement.sql);
    for (const QVariant& value : statement.values) query.addBindValue(value);
    done = done && query.exec();
  }
  if (!done) return numeric::Fail(ErrorText(query.lastError()));
  return {};
}

// The columns as the insert and the select name them: the lab machine's
// name, then the row's columns in the table's order.
QString ColumnList() {
  QString list = QStringLiteral("host");
  for (const TrialLogColumn& column : TrialLogColumns()) list += ", " + Name(column);
  return list;
}

QVariant Bound(const experiment::TrialLogValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return QString::fromStdString(*text);
  if (const auto* whole = std::get_if<std::int64_t>(&value)) return static_cast<qlonglong>(*whole);
  return std::get<double>(value);
}

experiment::TrialLogValue Unbound(const QVariant& value, SqlType type) {
  switch (type) {
    case SqlType::kText: return value.toString().toStdString();
    case SqlType::kDoublePrecision: return value.toDouble();
    case SqlType::kInteger:
    case SqlType::kBigint: break;
  }
  return static_cast<std::int64_t>(value.toLongLong());
}

}  // namespace

numeric::Status CreateSchema(QSqlDatabase& db) {
  if (!db.transaction()) return numeric::Fail(ErrorText(db.lastError()));
  for (const Statement& statement : SchemaStatements()) {
    if (numeric::Status done = Run(db, statement); !done) {
      db.rollback();
      return done;
    }
  }
  if (!db.commit()) return numeric::Fail(ErrorText(db.lastError()));
  return CheckSchema(db);
}

QString InsertTrialStatement() {
  QString marks = QStringLiteral("?");
  for (std::size_t c = 0; c < TrialLogColumns().size(); ++c) marks += QStringLiteral(", ?");
  return "INSERT INTO trials (" + ColumnList() + ") VALUES (" + marks + ") ON CONFLICT DO NOTHING";
}

void BindTrial(QSqlQuery& insert, const std::string& host, const experiment::TrialLogRow& row) {
  insert.addBindValue(QString::fromStdString(host));
  for (const TrialLogColumn& column : TrialLogColumns()) insert.addBindValue(Bound(column.Get(row)));
}

QString SelectTrialsStatement() { return "SELECT " + ColumnList() + " FROM trials ORDER BY session, host, trial"; }

QString SelectSessionStatement() {
  return "SELECT " + ColumnList() + " FROM trials WHERE session = ? AND host = ? ORDER BY trial";
}

experiment::TrialLogRow TrialAt(const QSqlQuery& select, std::string& host) {
  host = select.value(0).toString().toStdString();
  experiment::TrialLogRow row{};
  int at = 1;  // the row's columns follow the host's
  for (const TrialLogColumn& column : TrialLogColumns()) column.Set(Unbound(select.value(at++), column.Type), row);
  return row;
}

numeric::Status CheckSchema(QSqlDatabase& db) {
  QSqlQuery query(db);
  if (!query.exec(QStringLiteral("SELECT max(version) FROM rocrating_schema"))) {
    if (query.lastError().nativeErrorCode() == QStringLiteral("42P01")) {
      return numeric::Fail("the database has no table of trials yet: run rocrating --store-init once");
    }
    return numeric::Fail(ErrorText(query.lastError()));
  }
  const int version = query.next() ? query.value(0).toInt() : 0;
  if (version != kSchemaVersion) {
    return numeric::Fail("the database's tables are of version " + std::to_string(version) +
                         ", this program writes version " + std::to_string(kSchemaVersion) +
                         (version < kSchemaVersion ? ": run rocrating --store-init once to bring them up to date" : ""));
  }
  return {};
}

std::string GrantStatements() {
  return "-- Run once as the owner of the database, then give each student a login in rocrating_student\n"
         "-- (CREATE ROLE name LOGIN IN ROLE rocrating_student) and the teacher one in rocrating_teacher.\n"
         "CREATE ROLE rocrating_student NOLOGIN;\n"
         "CREATE ROLE rocrating_teacher NOLOGIN;\n"
         "GRANT USAGE ON SCHEMA public TO rocrating_student, rocrating_teacher;\n"
         "GRANT SELECT ON rocrating_schema TO rocrating_student, rocrating_teacher;\n"
         "GRANT INSERT ON trials TO rocrating_student;\n"
         "GRANT SELECT ON trials TO rocrating_teacher;\n";
}

int RunStoreInit(const std::string& conninfo, std::ostream& out, std::ostream& err) {
  const auto parsed = ParseConnInfo(conninfo);
  if (!parsed) {
    err << "rocrating: " << parsed.Reason() << '\n';
    return 2;
  }
  Connection connection(*parsed, QStringLiteral("rocrating-init"));
  numeric::Status ready = connection.Open();
  if (ready) ready = CreateSchema(connection.Db());
  if (!ready) {
    err << "rocrating: " << conninfo << ": " << ready.Reason() << '\n';
    return 2;
  }
  out << "-- The tables of " << conninfo << " are ready (version " << kSchemaVersion << ").\n" << GrantStatements();
  return 0;
}

}  // namespace store
