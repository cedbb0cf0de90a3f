#include "windows/ClassTables.h"

#include <QCoreApplication>
#include <QDateTime>
#include <algorithm>
#include <cmath>
#include <span>

#include "plot/PlotColours.h"
#include "ui/qt/QtColour.h"

#include "windows/NumberText.h"

namespace classtext {

namespace {

const QString kDash = QStringLiteral("—");

// The tables' numbers carry a typographic minus.
QString Fixed(double v, int decimals = 3) { return FixedText(v, decimals).replace(u'-', QStringLiteral("−")); }


QString MeanSd(const std::optional<roc::MeanEstimate>& e) {
  if (!e) return kDash;
  return e->sd ? Fixed(e->mean) + QStringLiteral(" ± ") + Fixed(*e->sd) : Fixed(e->mean);
}

QString List(const std::vector<double>& values) {
  QStringList texts;
  for (double v : values) texts << Fixed(v, 2);
  return texts.isEmpty() ? kDash : texts.join(u' ');
}

QString Interval(double low, double high) { return QStringLiteral("[%1, %2]").arg(Fixed(low), Fixed(high)); }

QString Difference(const std::optional<roc::MeanDifference>& d) {
  if (!d) return QCoreApplication::translate("ClassTables", "— （データ不足）");
  return QCoreApplication::translate("ClassTables", "%1  95%区間 %2  自由度 %3")
      .arg(Fixed(d->estimate), Interval(d->low, d->high), Fixed(d->df, 1));
}

// The session table's cells, one function per column and role.
const double kNone = -1e300;  // the sort key of a session without the value

QVariant Observer(const classdata::ClassEntry& e) { return QString::fromStdString(e.data.observer); }
QVariant DesignName(const classdata::ClassEntry& e) { return QString::fromStdString(e.data.design); }

// The session's UTC time of creation, shown in local time.
QVariant Time(const classdata::ClassEntry& e) {
  const QString utc = QString::fromStdString(e.session);
  const QDateTime t = QDateTime::fromString(utc, Qt::ISODateWithMs);
  return t.isValid() ? t.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : utc;
}
QVariant TimeKey(const classdata::ClassEntry& e) { return QString::fromStdString(e.session); }

// An incomplete run's recorded trials against those of its design.
QVariant Recorded(const classdata::ClassEntry& e) {
  if (!e.data.Incomplete()) return e.recorded;
  return QStringLiteral("%1 / %2").arg(e.recorded).arg(e.data.expected);
}
QVariant RecordedKey(const classdata::ClassEntry& e) { return e.recorded; }

QVariant Missed(const classdata::ClassEntry& e) {
  if (!e.missedExposures) return kDash;
  return QString::number(*e.missedExposures);
}
QVariant MissedKey(const classdata::ClassEntry& e) { return e.missedExposures.value_or(-1); }

template <auto value>  // a member of roc::BinormalFit
QVariant FitNumber(const classdata::ClassEntry& e) {
  return e.data.fit ? Fixed(*e.data.fit.*value) : kDash;
}
template <auto value>  // a member of roc::BinormalFit
QVariant FitKey(const classdata::ClassEntry& e) {
  return e.data.fit ? *e.data.fit.*value : kNone;
}

QVariant AzWithSe(const classdata::ClassEntry& e) {
  const std::optional<roc::BinormalFit>& fit = e.data.fit;
  return fit ? Fixed(fit->az) + QStringLiteral(" ± ") + Fixed(fit->az_se) : kDash;
}

QVariant Criteria(const classdata::ClassEntry& e) { return e.data.fit ? List(e.data.fit->criteria) : kDash; }
QVariant CriteriaKey(const classdata::ClassEntry& e) {
  const std::optional<roc::BinormalFit>& fit = e.data.fit;
  return fit && !fit->criteria.empty() ? fit->criteria.front() : kNone;
}

std::optional<double> P(const classdata::ClassEntry& e) { return e.data.fit ? e.data.fit->p : std::nullopt; }
QVariant PText(const classdata::ClassEntry& e) {
  const std::optional<double> p = P(e);
  if (!p) return kDash;
  return *p < 0.001 ? QStringLiteral("< 0.001") : Fixed(*p);
}
QVariant PKey(const classdata::ClassEntry& e) { return P(e).value_or(kNone); }

QVariant Status(const classdata::ClassEntry& e) {
  if (e.data.Incomplete())
    return e.data.fit ? QCoreApplication::translate("ClassTables", "未完了・推定済")
                      : QCoreApplication::translate("ClassTables", "未完了・推定不能");
  return e.data.fit ? QCoreApplication::translate("ClassTables", "推定済")
                    : QCoreApplication::translate("ClassTables", "推定不能");
}

// The session table, left to right.
constexpr SessionColumn kSessionColumns[] = {
    {{QT_TRANSLATE_NOOP("ClassTables", "観察者")}, nullptr, Qt::AlignLeft, true, Observer, nullptr},
    {{QT_TRANSLATE_NOOP("ClassTables", "デザイン")}, nullptr, Qt::AlignLeft, true, DesignName, nullptr},
    {{QT_TRANSLATE_NOOP("ClassTables", "セッション")}, nullptr, Qt::AlignLeft, false, Time, TimeKey},
    {{QT_TRANSLATE_NOOP("ClassTables", "記録試行")}, nullptr, Qt::AlignRight, false, Recorded, RecordedKey},
    {{QT_TRANSLATE_NOOP("ClassTables", "露出ずれ")},
     QT_TRANSLATE_NOOP("ClassTables", "露出時間が目標から 1 フレームを超えてずれた記録試行の数"), Qt::AlignRight, false,
     Missed, MissedKey},
    {{"d"}, nullptr, Qt::AlignRight, false, FitNumber<&roc::BinormalFit::d>, FitKey<&roc::BinormalFit::d>},
    {{"R"}, nullptr, Qt::AlignRight, false, FitNumber<&roc::BinormalFit::R>, FitKey<&roc::BinormalFit::R>},
    {{"Az ± SE"}, nullptr, Qt::AlignRight, false, AzWithSe, FitKey<&roc::BinormalFit::az>},
    {{"d_a"}, nullptr, Qt::AlignRight, false, FitNumber<&roc::BinormalFit::d_a>, FitKey<&roc::BinormalFit::d_a>},
    {{QT_TRANSLATE_NOOP("ClassTables", "基準")}, nullptr, Qt::AlignRight, false, Criteria, CriteriaKey},
    {{QT_TRANSLATE_NOOP("ClassTables", "χ² の p")}, nullptr, Qt::AlignRight, false, PText, PKey},
    {{QT_TRANSLATE_NOOP("ClassTables", "状態")}, nullptr, Qt::AlignRight, false, Status, nullptr},
};

// The design summary's headings; the Japanese ones are shown in the
// interface's language. Its "セッション" counts sessions where the session
// table's names a session: it has a translation of its own.
constexpr Heading kDesignHeaders[] = {
    {QT_TRANSLATE_NOOP("ClassTables", "デザイン")},      QT_TRANSLATE_NOOP3("ClassTables", "セッション", "count"),
    {QT_TRANSLATE_NOOP("ClassTables", "推定済")},        {QT_TRANSLATE_NOOP("ClassTables", "推定不能")},
    {QT_TRANSLATE_NOOP("ClassTables", "未完了")},        {QT_TRANSLATE_NOOP("ClassTables", "記録試行")},
    {QT_TRANSLATE_NOOP("ClassTables", "合算 d")},        {QT_TRANSLATE_NOOP("ClassTables", "合算 R")},
    {QT_TRANSLATE_NOOP("ClassTables", "合算 Az ± SE")},  {QT_TRANSLATE_NOOP("ClassTables", "平均 a")},
    {QT_TRANSLATE_NOOP("ClassTables", "平均 b")},        {QT_TRANSLATE_NOOP("ClassTables", "平均 Az ± SD")},
    {QT_TRANSLATE_NOOP("ClassTables", "Az の 95%区間")}, {QT_TRANSLATE_NOOP("ClassTables", "平均 d_a ± SD")},
    {QT_TRANSLATE_NOOP("ClassTables", "平均基準")}};

QStringList Headers(std::span<const Heading> headers) {
  QStringList shown;
  for (const Heading& h : headers) shown << QCoreApplication::translate("ClassTables", h.text, h.comment);
  return shown;
}

}  // namespace

std::span<const SessionColumn> SessionColumns() { return kSessionColumns; }

QString SessionHeading(const SessionColumn& column) {
  return QCoreApplication::translate("ClassTables", column.heading.text, column.heading.comment);
}

QString SessionTip(const SessionColumn& column) {
  return column.tip ? QCoreApplication::translate("ClassTables", column.tip) : QString();
}

QVariant SessionCell(const classdata::ClassEntry& entry, const SessionColumn& column, int role) {
  if (role == Qt::UserRole && column.sortKey) return column.sortKey(entry);
  return column.shown(entry);
}

QStringList DesignHeaders() { return Headers(kDesignHeaders); }

QStringList DesignRow(const roc::DesignSummary& d) {
  QStringList row{QString::fromStdString(d.design), QString::number(d.sessions), QString::number(d.fitted),
                  QString::number(d.degenerate), QString::number(d.incomplete), QString::number(d.recorded)};
  if (d.mixedScales) {
    row << QCoreApplication::translate("ClassTables", "評定尺度が混在") << kDash << kDash;
  } else if (!d.pooled) {
    row << QCoreApplication::translate("ClassTables", "推定不能") << kDash << kDash;
  } else {
    row << Fixed(d.pooled->d) << Fixed(d.pooled->R)
        << Fixed(d.pooled->az) + QStringLiteral(" ± ") + Fixed(d.pooled->az_se);
  }
  row << (d.a ? Fixed(d.a->mean) : kDash) << (d.b ? Fixed(d.b->mean) : kDash) << MeanSd(d.az)
      << (d.az && d.az->low ? Interval(*d.az->low, *d.az->high) : kDash) << MeanSd(d.d_a)
      << (d.mixedScales ? QCoreApplication::translate("ClassTables", "評定尺度が混在") : List(d.meanCriteria));
  return row;
}

std::vector<std::pair<QString, QString>> ComparisonLines(const roc::DesignComparison& c,
                                                         const roc::DesignSummary* first,
                                                         const roc::DesignSummary* second) {
  const QString a = QString::fromStdString(c.first), b = QString::fromStdString(c.second);
  std::vector<std::pair<QString, QString>> lines;
  lines.emplace_back(
      QCoreApplication::translate("ClassTables", "方法"),
      c.paired ? QCoreApplication::translate("ClassTables", "観察者ごとの対応あり（%1 人）").arg(c.pairs)
               : QCoreApplication::translate("ClassTables", "Welch の方法（%1: %2 セッション、%3: %4 セッション）")
                     .arg(a)
                     .arg(c.nFirst)
                     .arg(b)
                     .arg(c.nSecond));
  if (c.paired && (!c.leftOut.empty() || c.unnamedLeftOut > 0)) {
    QStringList out;
    for (const std::string& name : c.leftOut) out << QString::fromStdString(name);
    if (c.unnamedLeftOut > 0)
      out << QCoreApplication::translate("ClassTables", "観察者名のないセッション %1 件").arg(c.unnamedLeftOut);
    lines.emplace_back(QCoreApplication::translate("ClassTables", "対応から除外"), out.join(QStringLiteral(", ")));
  }
  lines.emplace_back(QCoreApplication::translate("ClassTables", "平均 Az の差（%1 − %2）").arg(a, b), Difference(c.az));
  lines.emplace_back(QCoreApplication::translate("ClassTables", "平均 d_a の差（%1 − %2）").arg(a, b),
                     Difference(c.d_a));
  const std::vector<double> none;
  const std::vector<double>& ca = first ? first->meanCriteria : none;
  const std::vector<double>& cb = second ? second->meanCriteria : none;
  lines.emplace_back(QCoreApplication::translate("ClassTables", "平均基準（%1）").arg(a), List(ca));
  lines.emplace_back(QCoreApplication::translate("ClassTables", "平均基準（%1）").arg(b), List(cb));
  if (!ca.empty() && ca.size() == cb.size()) {
    std::vector<double> diff;
    for (std::size_t j = 0; j < ca.size(); ++j) diff.push_back(ca[j] - cb[j]);
    lines.emplace_back(QCoreApplication::translate("ClassTables", "基準の差（%1 − %2）").arg(a, b), List(diff));
  }
  return lines;
}

ClassPlotData PlotData(const classdata::ClassLoader& loader, const std::vector<roc::DesignSummary>& designs) {
  ClassPlotData data;
  for (std::size_t i = 0; i < designs.size(); ++i) {
    const roc::DesignSummary& d = designs[i];
    ClassPlotData::Design design{QString::fromStdString(d.design), ui::ToQColor(roc::DesignColour(static_cast<int>(i))),
                                 std::nullopt, std::nullopt};
    if (d.pooled) design.pooled = ClassPlotData::Line{d.pooled->a, d.pooled->b};
    if (d.a && d.b) design.averaged = ClassPlotData::Line{d.a->mean, d.b->mean};
    data.designs.push_back(design);
  }
  for (const classdata::ClassEntry& e : loader.Sessions()) {
    const auto at = std::find_if(designs.begin(), designs.end(),
                                 [&](const roc::DesignSummary& d) { return d.design == e.data.design; });
    ClassPlotData::Session s{static_cast<int>(at - designs.begin()), roc::CumulativeRates(e.data.counts), std::nullopt};
    if (e.data.fit) s.fit = ClassPlotData::Line{e.data.fit->a, e.data.fit->b};
    data.sessions.push_back(std::move(s));
  }
  return data;
}

}  // namespace classtext
