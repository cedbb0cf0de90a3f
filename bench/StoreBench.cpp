// The class database under a class's load: 30 lab machines (writers with a
// spool and a connection each) answering 60 trials each against one local
// server. Reported: rows stored (target: all 1,800, none twice), the median
// and 99th percentile from the rating press (Append) to the row committed
// (the server's received_at; one machine, one clock), and the rating
// handler's own time (Append) with the server stopped (target: under 1 ms).
// And the class view's source on a class of 300 sessions x 60 trials: its
// read after one new row (target: under 5 ms), beside a read of the whole
// table, which is what every new row cost before the notifications named
// the session.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <sstream>
#include <thread>
#include <variant>
#include <vector>

#include "bench/QtBenchMain.h"
#include "store/Connection.h"
#include "store/DatabaseSource.h"
#include "store/Schema.h"
#include "store/Store.h"
#include "tests/support/PgServer.h"

namespace {

using Clock = std::chrono::system_clock;

double Percentile(std::vector<double> v, double q) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[static_cast<std::size_t>(q * static_cast<double>(v.size() - 1))];
}

store::ConnInfo Info(const std::string& text) { return store::ParseConnInfo(text).value(); }

experiment::TrialLogRow Row(int machine, int trial) {
  return {.Session = "2026-12-09T08:00:00.000Z", .Observer = "student" + std::to_string(machine),
          .DesignName = "liberal", .Categories = 4, .Seed = static_cast<std::uint32_t>(machine), .Trial = trial,
          .Practice = trial <= 10, .Stimulus = experiment::kSignal, .Response = 1 + trial % 4, .ExposureMs = 1000,
          .RatingMs = 700};
}

void BM_ClassOfThirty(benchmark::State& state) {
  constexpr int kMachines = 30, kTrials = 60;
  for (auto _ : state) {
    PgServer server;
    if (!server.Ok()) {
      state.SkipWithError("no PostgreSQL server could be started");
      return;
    }
    std::ostringstream out, err;
    store::RunStoreInit(server.ConnInfo(), out, err);

    std::vector<std::unique_ptr<store::Store>> lab;
    for (int m = 0; m < kMachines; ++m) {
      lab.push_back(std::make_unique<store::Store>(Info(server.ConnInfo()),
                                                   server.Folder() + "/spool-" + std::to_string(m) + ".csv",
                                                   "lab-" + std::to_string(m), nullptr));
      (void)lab.back()->Start();
    }
    // Each machine answers a trial every 20 ms, the machines interleaved:
    // faster than any observer, so that the server is busy.
    std::map<std::pair<int, int>, Clock::time_point> pressed;
    for (int t = 1; t <= kTrials; ++t) {
      for (int m = 0; m < kMachines; ++m) {
        pressed[{m, t}] = Clock::now();
        (void)lab[m]->Append(Row(m, t));
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    for (auto& s : lab) {
      while (s->Pending() > 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    store::Connection c(Info(server.ConnInfo()), QStringLiteral("bench"));
    (void)c.Open();
    QSqlQuery q(c.Db());
    q.exec(QStringLiteral("SELECT host, trial, extract(epoch FROM received_at) FROM trials"));
    std::vector<double> latencies;
    while (q.next()) {
      const int m = q.value(0).toString().mid(4).toInt(), t = q.value(1).toInt();
      const double received = q.value(2).toDouble();
      const double at = std::chrono::duration<double>(pressed[{m, t}].time_since_epoch()).count();
      latencies.push_back((received - at) * 1000);
    }
    state.counters["rows_stored"] = static_cast<double>(latencies.size());
    state.counters["median_ms"] = Percentile(latencies, 0.5);
    state.counters["p99_ms"] = Percentile(latencies, 0.99);
    state.SetIterationTime(Percentile(latencies, 0.5) / 1000);

    // The server gone: the handler's part is the spool alone.
    lab.clear();
    server.Stop();
    store::Store alone(Info(server.ConnInfo()), server.Folder() + "/spool-alone.csv", "lab-x", nullptr);
    (void)alone.Start();
    std::vector<double> handler;
    for (int t = 1; t <= kTrials; ++t) {
      const auto start = std::chrono::steady_clock::now();
      (void)alone.Append(Row(99, t));
      handler.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["handler_median_ms"] = Percentile(handler, 0.5);
    state.counters["handler_worst_ms"] = Percentile(handler, 1.0);
  }
}
BENCHMARK(BM_ClassOfThirty)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

// A class of sessions x trials, inserted in one transaction.
bool FillClass(store::Connection& c, int sessions, int trials) {
  if (!c.Db().transaction()) return false;
  QSqlQuery insert(c.Db());
  insert.prepare(store::InsertTrialStatement());
  for (int m = 0; m < sessions; ++m) {
    for (int t = 1; t <= trials; ++t) {
      store::BindTrial(insert, "lab-" + std::to_string(m), Row(m, t));
      if (!insert.exec()) return false;
    }
  }
  return c.Db().commit();
}

// whole: the read after a notification that names no session, which reads
// the table again (as every notification did before they named one).
void BM_ClassSourceRead(benchmark::State& state, bool whole) {
  constexpr int kSessions = 300, kTrials = 60;
  PgServer server;
  std::ostringstream out, err;
  if (!server.Ok() || store::RunStoreInit(server.ConnInfo(), out, err) != 0) {
    state.SkipWithError("no PostgreSQL server could be started");
    return;
  }
  store::Connection writer(Info(server.ConnInfo()), "bench-writer");
  if (!writer.Open() || !FillClass(writer, kSessions, kTrials)) {
    state.SkipWithError("the class could not be inserted");
    return;
  }
  store::DatabaseSource source(Info(server.ConnInfo()));
  bool heard = false;
  source.OnChange([&] { heard = true; });
  (void)source.Read();
  int trial = kTrials;
  std::size_t sessionsRead = 0;
  for (auto _ : state) {
    // One more row of one session, or a notification naming none, heard of
    // before the clock starts.
    heard = false;
    QSqlQuery change(writer.Db());
    change.prepare(whole ? QStringLiteral("SELECT pg_notify('rocrating_trials', '')") : store::InsertTrialStatement());
    if (!whole) store::BindTrial(change, "lab-7", Row(7, ++trial));
    if (!change.exec()) {
      state.SkipWithError("the change could not be made");
      return;
    }
    while (!heard) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    const auto start = std::chrono::steady_clock::now();
    const classdata::SourceChanges changes = source.Read();
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    sessionsRead = changes.changed.empty() ? 0 : changes.changed.front().sessions.size();
  }
  state.counters["sessions_read"] = static_cast<double>(sessionsRead);
}
BENCHMARK_CAPTURE(BM_ClassSourceRead, OneNewRow, false)->Unit(benchmark::kMillisecond)->Iterations(30)->UseManualTime();
BENCHMARK_CAPTURE(BM_ClassSourceRead, WholeTable, true)->Unit(benchmark::kMillisecond)->Iterations(30)->UseManualTime();

}  // namespace

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
