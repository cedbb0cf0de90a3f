// The teacher's live class view on the real `rocrating --serve`: a class of
// 300 runs of 60 answers (per-trial files on /dev/shm, where a sync costs
// nothing, and the class database), one teacher's event stream open, then
// one new answer after another from four students still answering, each
// followed to the stream's event that carries it. Reported: the server's CPU
// time from the answer's request to that event, all its threads counted in
// nanoseconds (the scheduler's own sums), median and worst (target < 50 ms);
// the wall-clock time between them, which includes the wait for the
// stream's next look at the class; the first event, the whole class; and
// the CPU time the server spends while nothing changes, per second.
// --previous=PATH runs another build's program too, each case right after
// this build's, named ".../previous/...".
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include "bench/QtBenchMain.h"
#include "bench/ServedProgram.h"

namespace {

constexpr int kLate = 4;      // students still answering
constexpr int kPractice = 10;  // trials each answers before the teacher looks
constexpr int kUpdates = 20;  // answers followed to the stream
constexpr int kWaitMs = 10'000;

// The CPU time (ns) all threads of pid have had so far.
double CpuNs(qint64 pid) {
  const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
  double ns = 0;
  for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    QFile stat(tasks + "/" + task + "/schedstat");
    if (stat.open(QIODevice::ReadOnly)) ns += stat.readAll().split(' ')[0].toDouble();
  }
  return ns;
}

// A blocking HTTP/1.1 connection to the server.
class Client {
 public:
  explicit Client(quint16 port) { socket_.connectToHost(QHostAddress::LocalHost, port); }
  bool Send(const QByteArray& method, const QByteArray& path, const QByteArray& body = {}, const QByteArray& key = {}) {
    socket_.write(method + " " + path + " HTTP/1.1\r\nHost: bench\r\n" +
                  (key.isEmpty() ? QByteArray() : "X-Write-Key: " + key + "\r\n") +
                  "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
    return socket_.waitForBytesWritten(kWaitMs);
  }
  // The next reply's body; empty when none came whole.
  QByteArray Reply() {
    for (;;) {
      const qsizetype end = got_.indexOf("\r\n\r\n");
      const qsizetype at = got_.indexOf("Content-Length: ");
      if (end >= 0 && at >= 0 && at < end) {
        const qsizetype length = got_.mid(at + 16, got_.indexOf("\r\n", at) - at - 16).toLongLong();
        if (got_.size() >= end + 4 + length) {
          const QByteArray body = got_.mid(end + 4, length);
          got_.remove(0, end + 4 + length);
          return body;
        }
      }
      if (!More()) return {};
    }
  }
  // The next server-sent event's data after the stream's head; empty when
  // none came.
  QJsonObject Event() {
    for (;;) {
      const qsizetype head = got_.indexOf("\r\n\r\n");
      if (head >= 0 && got_.startsWith("HTTP/")) got_.remove(0, head + 4);
      const qsizetype end = got_.indexOf("\n\n");
      if (end >= 0 && !got_.startsWith("HTTP/")) {
        const QByteArray block = got_.left(end);
        got_.remove(0, end + 2);
        const qsizetype data = block.indexOf("data: ");
        if (data >= 0) return QJsonDocument::fromJson(block.mid(data + 6)).object();
        continue;  // the retry time or a comment
      }
      if (!More()) return {};
    }
  }

 private:
  bool More() {
    if (!socket_.waitForReadyRead(kWaitMs)) return false;
    got_ += socket_.readAll();
    return true;
  }
  QTcpSocket socket_;
  QByteArray got_;
};

// A student who joined and answered the practice trials before the teacher
// looked.
struct Late {
  QByteArray name, path, key;
  std::vector<bool> signal;
  std::mt19937 random;
};

bool Join(Client& client, Late& s) {
  if (!client.Send("POST", "/api/runs", R"({"observer": ")" + s.name + R"("})")) return false;
  const QJsonObject run = QJsonDocument::fromJson(client.Reply()).object();
  s.path = "/api/runs/" + run["run"].toString().toLatin1() + "/answers/";
  s.key = run["key"].toString().toLatin1();
  s.signal = SignalTrials(run);
  for (int trial = 1; trial <= kPractice; ++trial) {
    if (!client.Send("PUT", s.path + QByteArray::number(trial), AnswerBody(1 + trial % 4), s.key) ||
        client.Reply().isEmpty()) {
      return false;
    }
  }
  return true;
}

bool Carries(const QJsonObject& event, const QByteArray& name) {
  for (const QJsonValue& s : event["sessions"].toArray()) {
    if (s["cells"].toArray().contains(QString::fromUtf8(name))) return true;
  }
  return false;
}

// The late students' answers followed to the stream: the server's CPU (ms)
// and the time (ms) from each request to its event; false when one did not
// come.
bool FollowAnswers(Client& stream, Client& answering, std::vector<Late>& late, qint64 pid, std::vector<double>& cpu,
                   std::vector<double>& latency) {
  for (int u = 0; u < kUpdates; ++u) {
    Late& s = late[u % kLate];
    const int trial = kPractice + 1 + u / kLate;
    // Answers come at any moment of the stream's tick, not right after its
    // last event: spread over half a second.
    QThread::msleep(static_cast<unsigned long>(u * 7 % 20 * 25));
    QElapsedTimer clock;
    const double before = CpuNs(pid);
    clock.start();
    if (!answering.Send("PUT", s.path + QByteArray::number(trial),
                        AnswerBody(ObserverResponse(s.random, s.signal[trial - 1], 1.0)), s.key)) {
      return false;
    }
    QJsonObject event;
    while (!Carries(event, s.name)) {
      event = stream.Event();
      if (event.isEmpty()) return false;
    }
    latency.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    cpu.push_back((CpuNs(pid) - before) / 1e6);
    if (answering.Reply().isEmpty()) return false;
  }
  return true;
}

// The class filled, the late students joined: the teacher's stream open
// and its first event read, then the late answers followed.
bool Measure(benchmark::State& state, QProcess& server, const Served& served) {
  std::vector<double> times, cpu, latency;
  if (!FillClass(served.port, 0, times)) return false;
  Client answering(served.port), stream(served.port);
  std::vector<Late> late(kLate);
  for (int i = 0; i < kLate; ++i) {
    late[i].name = "late " + QByteArray::number(i);
    late[i].random.seed(1000 + i);
    if (!Join(answering, late[i])) return false;
  }
  QElapsedTimer clock;
  const double before = CpuNs(server.processId());
  clock.start();
  stream.Send("GET", "/api/teacher/events?token=" + served.token);
  const QJsonObject first = stream.Event();
  state.counters["first_event_ms"] = static_cast<double>(clock.nsecsElapsed()) / 1e6;
  state.counters["first_cpu_ms"] = (CpuNs(server.processId()) - before) / 1e6;
  state.counters["sessions"] = static_cast<double>(first["sessions"].toArray().size());
  if (first.isEmpty() || !FollowAnswers(stream, answering, late, server.processId(), cpu, latency)) return false;
  // The stream open with nothing new: what the server spends on its ticks.
  const double idle = CpuNs(server.processId());
  QThread::sleep(2);
  state.counters["idle_cpu_ms_per_s"] = (CpuNs(server.processId()) - idle) / 2e6;
  state.SetIterationTime(Percentile(cpu, 0.5) / 1e3);
  state.counters["cpu_worst_ms"] = Percentile(cpu, 1);
  state.counters["latency_ms"] = Percentile(latency, 0.5);
  state.counters["latency_worst_ms"] = Percentile(latency, 1);
  return true;
}

void TeacherUpdate(benchmark::State& state, const std::string& program, bool database) {
  QTemporaryDir work("/dev/shm/rocrating-bench-XXXXXX");
  if (!work.isValid()) return state.SkipWithError("no folder on /dev/shm");
  std::unique_ptr<PgServer> pg;
  QStringList args{"--serve", "--listen", "127.0.0.1:0", "--data", work.filePath("class")};
  if (database) {
    const std::optional<QStringList> stored = StoreArgs(pg);
    if (!stored) return state.SkipWithError("no PostgreSQL server");
    args = *stored;
  }
  for (auto _ : state) {
    QProcess server;
    const std::optional<Served> served = StartServer(server, program, args, work.filePath("share"));
    if (!served) return state.SkipWithError("the server did not start");
    const bool measured = Measure(state, server, *served);
    server.terminate();
    server.waitForFinished();
    if (!measured) return state.SkipWithError("the class was not filled or an answer did not reach the stream");
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> rest;
  const std::string previous = TakePrevious(argc, argv, rest);
  for (const bool database : {false, true}) {
    const auto run = [database](benchmark::State& state, const std::string& program) {
      TeacherUpdate(state, program, database);
    };
    for (auto* b : RegisterBuilds(database ? "BM_TeacherUpdate/Postgres" : "BM_TeacherUpdate/Files", previous, run)) {
      b->Unit(benchmark::kMillisecond)->UseManualTime();
    }
  }
  int restc = static_cast<int>(rest.size());
  rest.push_back(nullptr);
  return RunQtBenchmarks(restc, rest.data());
}
