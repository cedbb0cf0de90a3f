#include "server/ClassReportJob.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

namespace server {

namespace {

constexpr int kLongestMs = 120'000;  // a report that takes longer is given up

}  // namespace

struct ClassReportJob::Running {
  QTemporaryDir folder;
  QProcess process;
  QTimer limit;
  bool over = false;
};

bool ClassReportJob::Busy() const { return running_ != nullptr && !running_->over; }

ClassReportJob::ClassReportJob(std::string program) : program_(std::move(program)) {}

ClassReportJob::~ClassReportJob() {
  if (running_) {
    running_->process.disconnect();
    running_->process.kill();
    running_->process.waitForFinished();
  }
}

void ClassReportJob::Make(const Request& request, std::function<void(numeric::Result<QByteArray>)> done) {
  running_ = std::make_unique<Running>();  // the last one's folder goes with it
  Running& job = *running_;
  const auto finish = [&job, done](numeric::Result<QByteArray> result) {
    job.over = true;
    done(std::move(result));
  };
  if (!job.folder.isValid()) return finish(numeric::Fail("no temporary folder: " + job.folder.errorString().toStdString()));
  QStringList arguments{QStringLiteral("--class-report"), job.folder.filePath(QStringLiteral("class-report.pdf"))};
  for (const std::string& source : request.sources) arguments << QString::fromStdString(source);
  if (!request.files.empty()) {
    const QString runs = job.folder.filePath(QStringLiteral("runs"));
    QDir().mkpath(runs);
    for (const File& f : request.files) {
      QFile file(runs + '/' + QString::fromStdString(f.name));
      if (!file.open(QIODevice::WriteOnly) || file.write(f.text.data(), static_cast<qint64>(f.text.size())) !=
                                                  static_cast<qint64>(f.text.size()))
        return finish(numeric::Fail("cannot write " + file.fileName().toStdString()));
    }
    arguments << runs;
  }
  if (request.language == ui::Language::kEnglish) arguments << QStringLiteral("--lang") << QStringLiteral("en");
  if (request.withIncomplete) arguments << QStringLiteral("--include-incomplete");
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  job.process.setProcessEnvironment(environment);
  job.process.setProcessChannelMode(QProcess::SeparateChannels);
  QObject::connect(&job.process, &QProcess::finished, [&job, finish](int code, QProcess::ExitStatus status) {
    job.limit.stop();
    QFile pdf(job.folder.filePath(QStringLiteral("class-report.pdf")));
    // Exit 2 with a PDF: some files could not be read, which the report says.
    if (status == QProcess::NormalExit && pdf.open(QIODevice::ReadOnly) && pdf.size() > 0) return finish(pdf.readAll());
    const QString said = QString::fromUtf8(job.process.readAllStandardError()).trimmed();
    finish(numeric::Fail("the report could not be made (exit " + std::to_string(code) + "): " + said.toStdString()));
  });
  QObject::connect(&job.process, &QProcess::errorOccurred, [&job, finish](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;  // the others end in finished
    job.limit.stop();
    finish(numeric::Fail("the report's program did not start: " + job.process.errorString().toStdString()));
  });
  job.limit.setSingleShot(true);
  QObject::connect(&job.limit, &QTimer::timeout, [&job] { job.process.kill(); });
  job.limit.start(kLongestMs);
  job.process.start(QString::fromStdString(program_), arguments);
}

}  // namespace server
