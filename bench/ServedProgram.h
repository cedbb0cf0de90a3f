#pragma once
// The real `rocrating --serve` for the server's benchmarks: started with its
// printed port and teacher's token read back, and the simulated students
// that fill it, each a binormal observer answering its run's trials on one
// connection from a loopback address of its own (the server limits the runs
// made per address).
#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "store/Schema.h"
#include "tests/support/PgServer.h"

inline constexpr int kStudents = 300;
inline constexpr int kAnswers = 60;

inline double Percentile(std::vector<double> v, double q) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[static_cast<std::size_t>(q * static_cast<double>(v.size() - 1))];
}

struct Served {
  quint16 port = 0;
  QByteArray token;  // the teacher's
};

// Starts program with args, its own settings under dataHome; empty when it
// did not say where it listens within ten seconds.
inline std::optional<Served> StartServer(QProcess& server, const std::string& program, const QStringList& args,
                                         const QString& dataHome) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_DATA_HOME", dataHome);
  server.setProcessEnvironment(env);
  server.start(QString::fromStdString(program), args);
  QByteArray printed;
  while (!printed.contains("token=") || !printed.endsWith('\n')) {
    if (!server.waitForReadyRead(10'000)) return std::nullopt;
    printed += server.readAllStandardOutput();
  }
  const qsizetype at = printed.indexOf("students: http://127.0.0.1:");
  const qsizetype token = printed.indexOf("token=");
  if (at < 0) return std::nullopt;
  return Served{static_cast<quint16>(printed.mid(at + 27, printed.indexOf('/', at + 27) - at - 27).toUInt()),
                printed.mid(token + 6, printed.indexOf('\n', token) - token - 6).trimmed()};
}

// A class database of its own in pg, its tables made: the server's arguments
// for it, or empty when there is none.
inline std::optional<QStringList> StoreArgs(std::unique_ptr<PgServer>& pg) {
  pg = std::make_unique<PgServer>();
  std::ostringstream out, err;
  if (!pg->Ok() || store::RunStoreInit(pg->ConnInfo(), out, err) != 0) return std::nullopt;
  return QStringList{"--serve", "--listen", "127.0.0.1:0", "--data", "none", "--store",
                     QString::fromStdString(pg->ConnInfo())};
}

// An observer's rating of one trial: its evidence, the signal shifted by d,
// against three criteria.
inline int ObserverResponse(std::mt19937& random, bool signal, double d) {
  const double x = std::normal_distribution<double>(signal ? d : 0, 1)(random);
  return 1 + (x > -0.5) + (x > 0.4) + (x > 1.2);
}

inline QByteArray AnswerBody(int response) {
  return QStringLiteral(R"({"response": %1, "exposure_ms": 1000.2, "asked_ms": 1000, "frame_ms": 16.7,)"
                        R"( "rating_ms": 700, "unsent": 1})")
      .arg(response)
      .toUtf8();
}

// The trials' stimuli of a run as the server made it: signal or not, by trial.
inline std::vector<bool> SignalTrials(const QJsonObject& run) {
  std::vector<bool> signal;
  for (const QJsonValue& t : run["trials"].toArray()) signal.push_back(t["stimulus"].toString() == "signal");
  return signal;
}

// One student: joins, then answers trial after trial on one connection,
// paceMs after each reply; the round trips' times (ms) go to times, done
// counts the students that answered all.
class Student {
 public:
  Student(int n, quint16 port, int paceMs, std::vector<double>& times, int& done)
      : random_(n), d_(0.8 + 0.4 * (n % 3)), paceMs_(paceMs), times_(times), done_(done) {
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
      signal_ = SignalTrials(run);
    } else {
      times_.push_back(static_cast<double>(clock_.nsecsElapsed()) / 1e6);
    }
    if (++trial_ > kAnswers || trial_ > static_cast<int>(signal_.size())) {
      socket_.disconnectFromHost();
      ++done_;
      return;
    }
    QTimer::singleShot(trial_ == 1 ? 0 : paceMs_, [this] {
      Send("PUT", path_ + QByteArray::number(trial_), AnswerBody(ObserverResponse(random_, signal_[trial_ - 1], d_)));
    });
  }

  QTcpSocket socket_;
  QElapsedTimer clock_;
  QByteArray got_, path_, key_;
  std::vector<bool> signal_;
  std::mt19937 random_;
  double d_;
  int trial_ = 0;
  int paceMs_;
  std::vector<double>& times_;
  int& done_;
};

// All students at once, each answering paceMs after its last reply, until all
// have answered or ten minutes have passed; false then.
inline bool FillClass(quint16 port, int paceMs, std::vector<double>& times) {
  int done = 0;
  std::vector<std::unique_ptr<Student>> students;
  for (int n = 0; n < kStudents; ++n) students.push_back(std::make_unique<Student>(n, port, paceMs, times, done));
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] { if (done == kStudents) loop.quit(); });
  poll.start(10);
  QTimer::singleShot(600'000, &loop, &QEventLoop::quit);
  loop.exec();
  return done == kStudents;
}

// Takes --previous=PATH, another build's program, out of argv; the rest goes
// to rest.
inline std::string TakePrevious(int argc, char** argv, std::vector<char*>& rest) {
  std::string previous;
  for (int i = 0; i < argc; ++i) {
    if (std::string_view(argv[i]).starts_with("--previous=")) {
      previous = argv[i] + 11;
    } else {
      rest.push_back(argv[i]);
    }
  }
  return previous;
}

// Registers a case of one run for this build's program and, when there is
// one, the previous build's right after it, named with "/previous" after its
// first part.
inline std::vector<benchmark::internal::Benchmark*> RegisterBuilds(
    const std::string& name, const std::string& previous,
    const std::function<void(benchmark::State&, const std::string&)>& run) {
  std::vector<benchmark::internal::Benchmark*> registered;
  for (const std::string& program : {std::string(ROCRATING_PROGRAM), previous}) {
    if (program.empty()) continue;
    const std::string shown = program == previous ? std::string(name).insert(name.find('/'), "/previous") : name;
    registered.push_back(
        benchmark::RegisterBenchmark(shown.c_str(), [=](benchmark::State& state) { run(state, program); })
            ->Iterations(1));
  }
  return registered;
}
