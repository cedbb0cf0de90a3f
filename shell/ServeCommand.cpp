#include "shell/ServeCommand.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QSocketNotifier>
#include <QSslCertificate>
#include <QSslKey>
#include <QStandardPaths>
#include <csignal>
#include <cstdio>
#include <memory>
#include <set>
#include <unistd.h>

#include "experiment/DesignFile.h"
#include "server/HttpServer.h"
#include "server/QrCode.h"
#include "server/RunDatabase.h"
#include "server/Secrets.h"
#include "store/ConnInfo.h"
#include "store/Store.h"
#include "ui/qt/Language.h"

namespace shell {

namespace {

void Complain(const std::string& what) { std::fprintf(stderr, "rocrating: %s\n", what.c_str()); }

int signalPipe[2] = {-1, -1};

void OnSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

// SIGINT and SIGTERM call stop, between two of the event loop's handlers.
std::unique_ptr<QSocketNotifier> CatchStopSignals(std::function<void()> stop) {
  if (::pipe(signalPipe) != 0) return nullptr;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  auto notifier = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
  QObject::connect(notifier.get(), &QSocketNotifier::activated, [stop = std::move(stop)] {
    char byte;
    [[maybe_unused]] const ssize_t read = ::read(signalPipe[0], &byte, 1);
    stop();
  });
  return notifier;
}

// The designs of the files, or the standard one; distinct names.
numeric::Result<std::vector<experiment::Design>> ReadDesigns(const std::vector<std::string>& files) {
  if (files.empty()) return std::vector<experiment::Design>{experiment::Design::Standard()};
  std::vector<experiment::Design> designs;
  std::set<std::string> names;
  for (const std::string& file : files) {
    numeric::Result<experiment::Design> read = experiment::ReadDesignFile(file);
    if (!read) return numeric::Fail(read.Reason());
    if (!names.insert(read->Name).second) return numeric::Fail(file + ": a second design named \"" + read->Name + "\"");
    designs.push_back(std::move(*read));
  }
  return designs;
}

// The folder of the per-trial files, made when missing; nullopt for "none".
numeric::Result<std::optional<std::string>> DataFolder(const std::optional<std::string>& given) {
  if (given && *given == "none") return std::optional<std::string>();
  const QString folder = given ? QString::fromStdString(*given)
                               : QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                                     QStringLiteral("/rocrating/class");
  if (folder.isEmpty() || !QDir().mkpath(folder)) return numeric::Fail("cannot make the folder " + folder.toStdString());
  return std::optional<std::string>(QDir(folder).absolutePath().toStdString());
}

// The certificate and its key for HTTPS; a key others may read is refused.
numeric::Result<QSslConfiguration> TlsConfiguration(const std::string& certFile, const std::string& keyFile) {
  const QFileInfo keyInfo(QString::fromStdString(keyFile));
  if (!keyInfo.exists()) return numeric::Fail(keyFile + ": no such file");
  if (keyInfo.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteOther)) {
    return numeric::Fail(keyFile + ": the key may be read by others (chmod 600 it)");
  }
  QFile cert(QString::fromStdString(certFile)), key(QString::fromStdString(keyFile));
  if (!cert.open(QIODevice::ReadOnly)) return numeric::Fail(certFile + ": " + cert.errorString().toStdString());
  if (!key.open(QIODevice::ReadOnly)) return numeric::Fail(keyFile + ": " + key.errorString().toStdString());
  const QList<QSslCertificate> chain = QSslCertificate::fromDevice(&cert, QSsl::Pem);
  if (chain.isEmpty()) return numeric::Fail(certFile + ": no PEM certificate");
  const QByteArray keyBytes = key.readAll();
  QSslKey privateKey(keyBytes, QSsl::Rsa, QSsl::Pem);
  if (privateKey.isNull()) privateKey = QSslKey(keyBytes, QSsl::Ec, QSsl::Pem);
  if (privateKey.isNull()) return numeric::Fail(keyFile + ": no PEM private key (RSA or EC)");
  QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
  tls.setLocalCertificateChain(chain);
  tls.setPrivateKey(privateKey);
  return tls;
}

// The students' links: one per address others can reach the server on.
std::vector<std::string> StudentUrls(const ServeRequest& request, quint16 port, bool tls) {
  std::vector<QHostAddress> addresses;
  if (!request.anyAddress) {
    addresses.emplace_back(QString::fromStdString(request.address));
  } else {
    for (const QHostAddress& a : QNetworkInterface::allAddresses()) {
      if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback()) addresses.push_back(a);
    }
    if (addresses.empty()) addresses.emplace_back(QHostAddress::LocalHost);
  }
  std::vector<std::string> urls;
  for (const QHostAddress& a : addresses) {
    const QString host = a.protocol() == QAbstractSocket::IPv6Protocol ? "[" + a.toString() + "]" : a.toString();
    urls.push_back(QStringLiteral("%1://%2:%3/").arg(tls ? "https" : "http", host).arg(port).toStdString());
  }
  return urls;
}

std::unique_ptr<store::Store> StartStore(const std::string& conninfo) {
  const store::ConnInfo info = *store::ParseConnInfo(conninfo);  // checked with the command line
  const QString spool = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  QDir().mkpath(spool);
  auto classStore = std::make_unique<store::Store>(
      info, store::SpoolPath(spool.toStdString(), info), server::kBrowserHost,
      [](const std::string& line) { Complain(line); });
  if (const numeric::Status started = classStore->Start(); !started) {
    Complain(started.Reason());
    return nullptr;
  }
  return classStore;
}

// The settings of the server from the request; the reason when it cannot be.
numeric::Result<server::ServerSettings> Settings(const ServeRequest& request) {
  server::ServerSettings settings;
  auto designs = ReadDesigns(request.designFiles);
  if (!designs) return numeric::Fail(designs.Reason());
  settings.designs = std::move(*designs);
  auto folder = DataFolder(request.data);
  if (!folder) return numeric::Fail(folder.Reason());
  settings.dataFolder = *folder;
  settings.seed = request.seed;
  settings.language = request.language;
  settings.token = server::RandomSecret();
  settings.reportProgram = QCoreApplication::applicationFilePath().toStdString();
  if (request.tlsCert) {
    auto tls = TlsConfiguration(*request.tlsCert, *request.tlsKey);
    if (!tls) return numeric::Fail(tls.Reason());
    settings.tls = *tls;
  }
  return settings;
}

}  // namespace

numeric::Status ParseListen(const std::string& text, ServeRequest& request) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string::npos) return numeric::Fail("\"" + text + "\" is not ADDR:PORT");
  std::string host = text.substr(0, colon);
  const QString portText = QString::fromStdString(text.substr(colon + 1));
  bool ok = false;
  const uint port = portText.toUInt(&ok);
  if (!ok || port > 65535 || portText.startsWith('+')) return numeric::Fail("\"" + text + "\": the port is not 0 to 65535");
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
  request.port = static_cast<std::uint16_t>(port);
  request.anyAddress = host.empty() || host == "0.0.0.0" || host == "::" || host == "*";
  if (request.anyAddress) return {};
  QHostAddress address;
  if (!address.setAddress(QString::fromStdString(host))) {
    return numeric::Fail("\"" + host + "\" is not an IP address");
  }
  request.address = address.toString().toStdString();
  return {};
}

int RunServe(const ServeRequest& request, int argc, char** argv) {
  QCoreApplication app(argc, argv);
  // The server's own lines (the class database's among them) in its language.
  if (!ui::UseLanguage(request.language)) Complain("the English translation is missing; the server speaks Japanese");
  auto settings = Settings(request);
  if (!settings) {
    Complain(settings.Reason());
    return 2;
  }
  std::unique_ptr<store::Store> classStore;
  std::unique_ptr<server::RunDatabase> database;
  if (request.store) {
    classStore = StartStore(*request.store);
    if (!classStore) return 2;
    settings->store = classStore.get();
    database = std::make_unique<server::RunDatabase>(*store::ParseConnInfo(*request.store), "browser-runs");
    if (const numeric::Status open = database->Open(); !open) {
      Complain("the class database: " + open.Reason());
      return 2;
    }
    settings->database = database.get();
  }
  const bool tls = settings->tls.has_value();
  const std::string token = settings->token;
  server::HttpServer http(std::move(*settings));
  for (const std::string& problem : http.LoadRuns()) Complain(problem);  // the runs before a restart
  const QHostAddress address = request.anyAddress ? QHostAddress(QHostAddress::Any)
                                                  : QHostAddress(QString::fromStdString(request.address));
  const numeric::Result<quint16> port = http.Listen(address, request.port);
  if (!port) {
    Complain("cannot listen on " + (request.anyAddress ? std::string("*") : request.address) + ":" +
             std::to_string(request.port) + ": " + port.Reason());
    return 2;
  }
  const std::vector<std::string> urls = StudentUrls(request, *port, tls);
  http.SetStudentsUrl(urls.front());
  for (const std::string& url : urls) std::printf("students: %s\n", url.c_str());
  std::printf("teacher: %steacher?token=%s\n", urls.front().c_str(), token.c_str());
  std::fputs(server::QrForTerminal(urls.front(), ::isatty(STDOUT_FILENO) != 0).c_str(), stdout);
  std::fflush(stdout);
  const auto notifier = CatchStopSignals([&http] {
    http.StopListening();
    http.WhenIdle([] { QCoreApplication::quit(); });  // the answers being written, then their replies
  });
  return app.exec() == 0 ? 0 : 1;
}

}  // namespace shell
