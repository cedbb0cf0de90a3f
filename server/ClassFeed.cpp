#include "server/ClassFeed.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonArray>
#include <QTcpSocket>
#include <QTranslator>
#include <algorithm>

#include "classdata/ReportCsv.h"
#include "plot/PlotColours.h"
#include "server/BrowserRuns.h"
#include "server/HttpReplies.h"
#include "stats/ZRoc.h"
#include "ui/qt/QtColour.h"
#include "windows/ClassTables.h"

namespace server {

namespace {

constexpr int kTickMs = 500;                   // how often the streams look for a change
constexpr std::chrono::seconds kQuietMost{15};  // a stream quiet this long gets a comment

// The class window's texts in a page's language while it lives: they are
// translated through the application, so the program's English is put in
// force for the time of one answer (the server answers one at a time).
class InLanguage {
 public:
  explicit InLanguage(ui::Language language) {
    if (language != ui::Language::kEnglish || English() == nullptr) return;
    QCoreApplication::installTranslator(English());
    installed_ = true;
  }
  ~InLanguage() {
    if (installed_) QCoreApplication::removeTranslator(English());
  }
  InLanguage(const InLanguage&) = delete;
  InLanguage& operator=(const InLanguage&) = delete;

 private:
  static QTranslator* English() {
    static QTranslator* english = [] {
      auto* t = new QTranslator;
      if (t->load(QStringLiteral(":/i18n/rocrating_en.qm"))) return t;
      delete t;
      return static_cast<QTranslator*>(nullptr);
    }();
    return english;
  }
  bool installed_ = false;
};

QJsonValue Line(double a, double b) { return QJsonArray{a, b}; }

// A session's cell as the page sorts it: a number, or the text.
QJsonValue SortKey(const QVariant& key) {
  bool number = false;
  const double v = key.toDouble(&number);
  return number && key.typeId() != QMetaType::QString ? QJsonValue(v) : QJsonValue(key.toString());
}

QJsonObject SessionJson(const classdata::ClassEntry& e, std::size_t index, std::uint64_t version) {
  QJsonArray cells, keys, points, zpoints;
  for (const classtext::SessionColumn& column : classtext::SessionColumns()) {
    cells.append(classtext::SessionCell(e, column, Qt::DisplayRole).toString());
    keys.append(SortKey(classtext::SessionCell(e, column, Qt::UserRole)));
  }
  const std::vector<roc::RatePoint> rates = roc::CumulativeRates(e.data.counts);
  for (const roc::RatePoint& p : rates) points.append(QJsonArray{p.fa, p.hit});
  for (const roc::ZRocPoint& p : roc::ToNormalDeviates(rates).points) zpoints.append(QJsonArray{p.zfa, p.zhit});
  return {{"index", static_cast<qint64>(index)},
          {"version", static_cast<qint64>(version)},
          {"design", QString::fromStdString(e.data.design)},
          {"cells", cells},
          {"keys", keys},
          {"points", points},
          {"zpoints", zpoints},
          {"fit", e.data.fit ? Line(e.data.fit->a, e.data.fit->b) : QJsonValue()}};
}

QJsonArray Texts(const QStringList& texts) { return QJsonArray::fromStringList(texts); }

}  // namespace

struct ClassFeed::Listener {
  QPointer<QTcpSocket> socket;
  std::uint64_t since;
  ui::Language language;
  bool withIncomplete;
  Clock::time_point written;
};

ClassFeed::ClassFeed(std::function<void()> follow) : follow_(std::move(follow)) {
  QObject::connect(&tick_, &QTimer::timeout, [this] { Push(Clock::now()); });
}

ClassFeed::~ClassFeed() = default;

bool ClassFeed::Follow(const std::vector<BrowserRun*>& runs) {
  bool changed = false;
  const std::uint64_t first = version_;  // sessions above it are new in this call
  for (const BrowserRun* run : runs) {
    if (run->Answers().empty()) continue;  // a run with no answer yet is no session of the class
    auto [at, added] = index_.try_emplace(run->Id(), entries_.size());
    if (added) entries_.emplace_back();
    Entry& e = entries_[at->second];
    if (!added && e.answered == run->Answers().size()) continue;
    const experiment::TrialLogSession rows = run->Rows();
    roc::ClassSession& data = e.entry.data;
    data = {rows.Observer, rows.DesignName, rows.Categories, roc::CountRecordedRows(rows.Rows, rows.Categories), {},
            experiment::DesignRecorded(rows.Rows)};
    data.fit = roc::FitBinormal(data.counts);
    e.entry.origin = run->Id();
    e.entry.session = rows.Session;
    e.entry.recorded = static_cast<int>(roc::Total(data.counts.noise) + roc::Total(data.counts.signal));
    e.entry.missedExposures = classdata::MissedExposures(rows.Rows);
    e.answered = run->Answers().size();
    e.version = ++version_;
    changed = true;
  }
  if (!changed) return false;
  // Whether a run is whole can change with the other sessions of its design.
  std::vector<roc::ClassSession*> all;
  std::vector<int> before;
  for (Entry& e : entries_) {
    all.push_back(&e.entry.data);
    before.push_back(e.entry.data.expected);
  }
  roc::MarkIncomplete(all);
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].entry.data.expected != before[i] && entries_[i].version <= first) entries_[i].version = ++version_;
  }
  std::vector<const roc::ClassSession*> sessions(all.begin(), all.end());
  designs_[0] = roc::SummarizeDesigns(sessions, false);
  designs_[1] = roc::SummarizeDesigns(sessions, true);
  return true;
}

QJsonObject ClassFeed::Since(std::uint64_t since, ui::Language language, bool withIncomplete) const {
  const InLanguage shown(language);
  const std::vector<roc::DesignSummary>& summaries = designs_[withIncomplete ? 1 : 0];
  QJsonArray sessions, designs, headings, tips;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].version > since) sessions.append(SessionJson(entries_[i].entry, i, entries_[i].version));
  }
  for (std::size_t i = 0; i < summaries.size(); ++i) {
    const roc::DesignSummary& d = summaries[i];
    designs.append(QJsonObject{
        {"name", QString::fromStdString(d.design)},
        {"colour", ui::ToQColor(roc::DesignColour(static_cast<int>(i))).name()},
        {"pooled", d.pooled ? Line(d.pooled->a, d.pooled->b) : QJsonValue()},
        {"averaged", d.a && d.b ? Line(d.a->mean, d.b->mean) : QJsonValue()},
        {"row", Texts(classtext::DesignRow(d))}});
  }
  for (const classtext::SessionColumn& column : classtext::SessionColumns()) {
    headings.append(classtext::SessionHeading(column));
    tips.append(classtext::SessionTip(column));
  }
  return {{"version", static_cast<qint64>(version_)},
          {"sessions", sessions},
          {"designs", designs},
          {"headings", headings},
          {"tips", tips},
          {"design_headings", Texts(classtext::DesignHeaders())}};
}

QJsonObject ClassFeed::Compare(const std::string& first, const std::string& second, ui::Language language,
                               bool withIncomplete) const {
  const InLanguage shown(language);
  const std::vector<roc::DesignSummary>& summaries = designs_[withIncomplete ? 1 : 0];
  std::vector<const roc::ClassSession*> sessions;
  for (const Entry& e : entries_) sessions.push_back(&e.entry.data);
  const auto find = [&](const std::string& name) -> const roc::DesignSummary* {
    const auto at = std::find_if(summaries.begin(), summaries.end(), [&](const auto& d) { return d.design == name; });
    return at == summaries.end() ? nullptr : &*at;
  };
  const roc::DesignComparison comparison = roc::CompareDesigns(sessions, first, second, withIncomplete);
  QJsonArray lines;
  for (const auto& [caption, text] : classtext::ComparisonLines(comparison, find(first), find(second))) {
    lines.append(QJsonArray{caption, text});
  }
  return {{"lines", lines}};
}

std::string ClassFeed::SummaryCsv(bool withIncomplete) const {
  const auto& columns = classdata::ClassSummaryColumns();
  std::string csv = classdata::CsvHeader(columns);
  for (const roc::DesignSummary& d : designs_[withIncomplete ? 1 : 0]) csv += classdata::CsvLine(columns, d);
  return csv;
}

void ClassFeed::Stream(QTcpSocket* socket, std::uint64_t since, ui::Language language, bool withIncomplete) {
  QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: text/event-stream; charset=utf-8\r\nCache-Control: no-store\r\n";
  for (const auto& [name, value] : CommonHeaders()) head += name + ": " + value + "\r\n";
  // Without a length the stream ends with the connection; a page that lost
  // it comes back after this many milliseconds with the last id it got.
  socket->write(head + "\r\nretry: 2000\n\n");
  listeners_.push_back(std::make_unique<Listener>(Listener{socket, since, language, withIncomplete, {}}));
  Send(*listeners_.back(), Clock::now());  // the page's start: the headings even when nothing changed
  if (!tick_.isActive()) tick_.start(kTickMs);
}

void ClassFeed::Send(Listener& l, Clock::time_point now) const {
  const QByteArray data = QJsonDocument(Since(l.since, l.language, l.withIncomplete)).toJson(QJsonDocument::Compact);
  l.socket->write("id: " + QByteArray::number(static_cast<qulonglong>(version_)) + "\ndata: " + data + "\n\n");
  l.since = version_;
  l.written = now;
}

void ClassFeed::Push(Clock::time_point now) {
  if (follow_) follow_();
  std::erase_if(listeners_, [&](const std::unique_ptr<Listener>& l) {
    if (l->socket.isNull() || l->socket->state() != QAbstractSocket::ConnectedState) return true;
    if (version_ > l->since) {
      Send(*l, now);
    } else if (now - l->written >= kQuietMost) {
      l->socket->write(": quiet\n\n");
      l->written = now;
    }
    return false;
  });
  if (listeners_.empty()) tick_.stop();
}

}  // namespace server
