#include "Schema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <ostream>
#include <variant>

#include "Connection.h"

namespace store {

namespace {

const char* const kCreate[] = {
    "CREATE TABLE IF NOT EXISTS rocrating_schema (version integer NOT NULL)",
    "CREATE TABLE IF NOT EXISTS trials ("
    " session text NOT NULL, host text NOT NULL, observer text NOT NULL, design text NOT NULL,"
    " categories integer NOT NULL, seed bigint NOT NULL, trial integer NOT NULL, phase text NOT NULL,"
    " stimulus text NOT NULL, response integer NOT NULL, exposure_ms double precision NOT NULL,"
    " rating_ms bigint NOT NULL, received_at timestamptz NOT NULL DEFAULT now(),"
    " PRIMARY KEY (session, host, trial))",
    // Version 2: what the screen was asked to show (0: not known, as for
    // the rows of version 1).
    "ALTER TABLE trials ADD COLUMN IF NOT EXISTS asked_ms double precision NOT NULL DEFAULT 0,"
    " ADD COLUMN IF NOT EXISTS frame_ms double precision NOT NULL DEFAULT 0",
    "CREATE OR REPLACE FUNCTION rocrating_notify() RETURNS trigger LANGUAGE plpgsql AS"
    " $$ BEGIN PERFORM pg_notify('rocrating_trials', ''); RETURN NULL; END $$",
    "CREATE OR REPLACE TRIGGER trials_notify AFTER INSERT ON trials"
    " FOR EACH STATEMENT EXECUTE FUNCTION rocrating_notify()",
    "INSERT INTO rocrating_schema (version) SELECT 2 WHERE NOT EXISTS (SELECT 1 FROM rocrating_schema)",
    "UPDATE rocrating_schema SET version = 2 WHERE version < 2",
};

}  // namespace

std::optional<std::string> CreateSchema(QSqlDatabase& db) {
  if (!db.transaction()) return ErrorText(db.lastError());
  for (const char* statement : kCreate) {
    QSqlQuery query(db);
    if (!query.exec(QString::fromUtf8(statement))) {
      const std::string why = ErrorText(query.lastError());
      db.rollback();
      return why;
    }
  }
  if (!db.commit()) return ErrorText(db.lastError());
  return CheckSchema(db);
}

std::optional<std::string> CheckSchema(QSqlDatabase& db) {
  QSqlQuery query(db);
  if (!query.exec(QStringLiteral("SELECT max(version) FROM rocrating_schema"))) {
    if (query.lastError().nativeErrorCode() == QStringLiteral("42P01")) {
      return std::string("the database has no table of trials yet: run rocrating --store-init once");
    }
    return ErrorText(query.lastError());
  }
  const int version = query.next() ? query.value(0).toInt() : 0;
  if (version != kSchemaVersion) {
    return "the database's tables are of version " + std::to_string(version) + ", this program writes version " +
           std::to_string(kSchemaVersion) +
           (version < kSchemaVersion ? ": run rocrating --store-init once to bring them up to date" : "");
  }
  return std::nullopt;
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
  if (const auto* why = std::get_if<std::string>(&parsed)) {
    err << "rocrating: " << *why << '\n';
    return 2;
  }
  Connection connection(std::get<ConnInfo>(parsed), QStringLiteral("rocrating-init"));
  std::optional<std::string> problem = connection.Open();
  if (!problem) problem = CreateSchema(connection.Db());
  if (problem) {
    err << "rocrating: " << conninfo << ": " << *problem << '\n';
    return 2;
  }
  out << "-- The tables of " << conninfo << " are ready (version " << kSchemaVersion << ").\n" << GrantStatements();
  return 0;
}

}  // namespace store
