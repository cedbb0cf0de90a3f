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
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlQuery>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "bench/QtBenchMain.h"
#include "experiment/TrialLog.h"
#include "store/Connection.h"
#include "store/Schema.h"
#include "tests/support/PgServer.h"

namespace {

constexpr int kStudents = 300;
constexpr int kAnswers = 60;

double Percentile(std::vector<double> v, double q) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[static_cast<std::size_t>(q * static_cast<double>(v.size() - 1))];
}

// One student: joins, then answers trial after trial on one connection.
class Student {
 public:
  Student(int n, quint16 port, int paceMs, std::vector<double>& times, int& done)
      : paceMs_(paceMs), times_(times), done_(done) {
    socket_.bind(QHostAddress(QStringLiteral("127.0.%1.%2").arg(1 + n / 250).arg(1 + n % 250)));
    QObject::connect(&socket_, &QTcpSocket::connected, [this, n] {
      Send("POST", "/api/runs", QStringLiteral(R"({"observer": "student %1"})").arg(n).toUtf8());
    });
    QObject::connect(&socket_, &QTcpSocket::readyRead, [this] { Arrived(); });
    // Paced students come in over one pace, not all in the same instant.
    QTimer::singleShot(paceMs_ * n / kStudents, [this, port] { socket_.connectToHost(QHostAddress::LocalHost, port); });
  }

 private:
  void Send(const QByteArray& method, const QByteArray& path, const QByteArray& body) {
    clock_.start();
    socket_.write(method + " " + path + " HTTP/1.1\r\nHost: bench\r\n" + key_ +
                  "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
  }
  void Arrived() {
    got_ += socket_.readAll();
    const qsizetype end = got_.indexOf("\r\n\r\n");
    if (end < 0) return;
    const qsizetype at = got_.indexOf("Content-Length: ");
    const qsizetype length = got_.mid(at + 16, got_.indexOf("\r\n", at) - at - 16).toLongLong();
    if (got_.size() < end + 4 + length) return;
    const QByteArray body = got_.mid(end + 4, length);
    got_.clear();
    if (trial_ == 0) {
      const QJsonObject run = QJsonDocument::fromJson(body).object();
      path_ = "/api/runs/" + run["run"].toString().toLatin1() + "/answers/";
      key_ = "X-Write-Key: " + run["key"].toString().toLatin1() + "\r\n";
    } else {
      times_.push_back(static_cast<double>(clock_.nsecsElapsed()) / 1e6);
    }
    if (++trial_ > kAnswers) {
      socket_.disconnectFromHost();
      ++done_;
      return;
    }
    QTimer::singleShot(trial_ == 1 ? 0 : paceMs_, [this] {
      Send("PUT", path_ + QByteArray::number(trial_),
           QStringLiteral(R"({"response": %1, "exposure_ms": 1000.2, "asked_ms": 1000, "frame_ms": 16.7,)"
                          R"( "rating_ms": 700, "unsent": 1})").arg(1 + trial_ % 4).toUtf8());
    });
  }

  QTcpSocket socket_;
  QElapsedTimer clock_;
  QByteArray got_, path_, key_;
  int trial_ = 0;
  int paceMs_;
  std::vector<double>& times_;
  int& done_;
};

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
    pg = std::make_unique<PgServer>();
    std::ostringstream out, err;
    if (!pg->Ok() || store::RunStoreInit(pg->ConnInfo(), out, err) != 0) {
      state.SkipWithError("no PostgreSQL server");
      return;
    }
    args = QStringList{"--serve", "--listen", "127.0.0.1:0", "--data", "none", "--store",
                       QString::fromStdString(pg->ConnInfo())};
  }
  for (auto _ : state) {
    QProcess server;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", work.filePath("share"));
    server.setProcessEnvironment(env);
    server.start(QString::fromStdString(program), args);
    QByteArray printed;
    while (!printed.contains("teacher: ") && server.waitForReadyRead(10'000)) printed += server.readAllStandardOutput();
    const qsizetype at = printed.indexOf("students: http://127.0.0.1:");
    if (at < 0) {
      state.SkipWithError("the server did not start");
      return;
    }
    const quint16 port = static_cast<quint16>(printed.mid(at + 27, printed.indexOf('/', at + 27) - at - 27).toUInt());
    const double cpuBefore = Usage(server.processId()).second;
    std::vector<double> times;
    int done = 0;
    std::vector<std::unique_ptr<Student>> students;
    for (int n = 0; n < kStudents; ++n) students.push_back(std::make_unique<Student>(n, port, paceMs, times, done));
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] { if (done == kStudents) loop.quit(); });
    poll.start(10);
    QTimer::singleShot(600'000, &loop, &QEventLoop::quit);
    loop.exec();
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
  std::string previous;
  std::vector<char*> rest;
  for (int i = 0; i < argc; ++i) {
    if (std::string_view(argv[i]).starts_with("--previous=")) {
      previous = argv[i] + 11;
    } else {
      rest.push_back(argv[i]);
    }
  }
  // The pace: ms between a reply and the next answer.
  const struct {
    const char* name;
    bool database;
    int paceMs;
  } cases[] = {{"BM_ServeFiles/2000", false, 2000}, {"BM_ServeFiles/0", false, 0}, {"BM_ServePostgres/2000", true, 2000},
               {"BM_ServePostgres/0", true, 0}};
  for (const auto& c : cases) {
    for (const std::string& program : {std::string(ROCRATING_PROGRAM), previous}) {
      if (program.empty()) continue;
      const std::string name = program == previous ? std::string(c.name).insert(std::string(c.name).find('/'), "/previous")
                                                   : std::string(c.name);
      benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) { Serve(state, program, c.database, c.paceMs); })
          ->Iterations(1)
          ->Unit(benchmark::kSecond)
          ->UseRealTime();
    }
  }
  int restc = static_cast<int>(rest.size());
  rest.push_back(nullptr);
  return RunQtBenchmarks(restc, rest.data());
}
