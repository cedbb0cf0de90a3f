// The browser edition's server under a class's load: 300 simulated students
// (HTTP clients, no browser), each from an address of its own on the loopback
// network, join and answer 60 trials as fast as the server answers, all at
// once, against the real `rocrating --serve` on per-trial files and on
// PostgreSQL: at a class's pace (an answer every 2 s, as GO, the exposure
// and the rating take at least) and as fast as the server answers (each
// answer is synced to the disk before its reply, the runs' files at once:
// the disk's sync rate is the ceiling). --previous=PATH runs another build's
// program too, each case right after this build's, named ".../previous".
// Reported: rows stored once (target: all 18,000, none twice),
// the answer's round trip p50 and p99 (target p99 < 20 ms on files), the
// server's resident memory at the end (target < 80 MiB) and its CPU time per
// answer.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "bench/QtBenchMain.h"
#include "bench/ServedProgram.h"
#include "experiment/TrialLog.h"
#include "store/Connection.h"

namespace {

// The server's resident memory (MiB) and its CPU time so far (s), from /proc.
std::pair<double, double> Usage(qint64 pid) {
  QFile status(QStringLiteral("/proc/%1/status").arg(pid)), stat(QStringLiteral("/proc/%1/stat").arg(pid));
  double rss = 0, cpu = 0;
  if (status.open(QIODevice::ReadOnly)) {
    for (const QByteArray& line : status.readAll().split('\n')) {
      if (line.startsWith("VmRSS:")) rss = line.mid(6).trimmed().split(' ')[0].toDouble() / 1024;
    }
  }
  if (stat.open(QIODevice::ReadOnly)) {
    const QList<QByteArray> fields = stat.readAll().split(')').last().trimmed().split(' ');
    cpu = (fields[11].toDouble() + fields[12].toDouble()) / static_cast<double>(::sysconf(_SC_CLK_TCK));
  }
  return {rss, cpu};
}

// The rows of every per-trial file in folder, each (session, trial) once.
std::int64_t RowsOnceInFiles(const QString& folder) {
  std::int64_t rows = 0;
  for (const QString& name : QDir(folder).entryList({"*.csv"}, QDir::Files)) {
    const experiment::TrialLogContents read = experiment::ReadTrialLog((folder + "/" + name).toStdString());
    if (!read.Skipped.empty()) return -1;  // a trial twice
    for (const experiment::TrialLogSession& s : read.Sessions) rows += static_cast<std::int64_t>(s.Rows.size());
  }
  return rows;
}

// The rows of the trials table, each (session, trial) once (-1 when one is
// there twice), once they reach expected or a minute has passed.
std::int64_t RowsOnceInDatabase(const std::string& conninfo, std::int64_t expected) {
  store::Connection probe(*store::ParseConnInfo(conninfo), "bench-probe");
  if (!probe.Open()) return -1;
  std::int64_t rows = -1;
  for (int wait = 0; wait < 600 && rows != expected; ++wait) {
    if (wait > 0) QThread::msleep(100);
    QSqlQuery q(probe.Db());
    if (!q.exec("SELECT count(*), count(DISTINCT (session, trial)) FROM trials") || !q.next()) return -1;
    if (q.value(0) != q.value(1)) return -1;
    rows = q.value(0).toLongLong();
  }
  return rows;
}

void Serve(benchmark::State& state, const std::string& program, bool database, int paceMs) {
  QTemporaryDir work;
  std::unique_ptr<PgServer> pg;
  QStringList args{"--serve", "--listen", "127.0.0.1:0", "--data", work.filePath("class")};
  if (database) {
    const std::optional<QStringList> stored = StoreArgs(pg);
    if (!stored) {
      state.SkipWithError("no PostgreSQL server");
      return;
    }
    args = *stored;
  }
  for (auto _ : state) {
    QProcess server;
    const std::optional<Served> served = StartServer(server, program, args, work.filePath("share"));
    if (!served) {
      state.SkipWithError("the server did not start");
      return;
    }
    const double cpuBefore = Usage(server.processId()).second;
    std::vector<double> times;
    FillClass(served->port, paceMs, times);
    // The database gets the rows from the server's spool, a little later:
    // they are counted while the server runs, its CPU time for them included.
    const std::int64_t rows = database ? RowsOnceInDatabase(pg->ConnInfo(), std::int64_t{kStudents} * kAnswers) : -1;
    const auto [rss, cpu] = Usage(server.processId());
    server.terminate();
    server.waitForFinished();
    state.counters["rows_once"] = static_cast<double>(database ? rows : RowsOnceInFiles(work.filePath("class")));
    state.counters["p50_ms"] = Percentile(times, 0.5);
    state.counters["p99_ms"] = Percentile(times, 0.99);
    state.counters["rss_MiB"] = rss;
    state.counters["cpu_us_per_answer"] = (cpu - cpuBefore) * 1e6 / std::max<double>(1, times.size());
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> rest;
  const std::string previous = TakePrevious(argc, argv, rest);
  // The pace: ms between a reply and the next answer.
  const struct {
    const char* name;
    bool database;
    int paceMs;
  } cases[] = {{"BM_ServeFiles/2000", false, 2000}, {"BM_ServeFiles/0", false, 0}, {"BM_ServePostgres/2000", true, 2000},
               {"BM_ServePostgres/0", true, 0}};
  for (const auto& c : cases) {
    const auto run = [c](benchmark::State& state, const std::string& program) {
      Serve(state, program, c.database, c.paceMs);
    };
    for (auto* b : RegisterBuilds(c.name, previous, run)) b->Unit(benchmark::kSecond)->UseRealTime();
  }
  int restc = static_cast<int>(rest.size());
  rest.push_back(nullptr);
  return RunQtBenchmarks(restc, rest.data());
}
