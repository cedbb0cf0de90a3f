#include "windows/ReadNoteText.h"

#include <QCoreApplication>
#include <cerrno>

#include "experiment/Design.h"
#include "experiment/TrialLogColumns.h"

namespace {

using experiment::FieldRule;
using experiment::NoteCode;

QString Token(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// What a field of the rule must be.
QString ShownRule(FieldRule rule) {
  switch (rule) {
    case FieldRule::kUtcTime:
      return QCoreApplication::translate("ReadNote", "2026-12-08T19:20:31.123Z のような UTC の時刻");
    case FieldRule::kName:
      return QCoreApplication::translate("ReadNote", "デザインの名前");
    case FieldRule::kCategories:
      return QCoreApplication::translate("ReadNote", "2 から %1 までの整数").arg(experiment::kMaxCategories);
    case FieldRule::kSeed:
      return QCoreApplication::translate("ReadNote", "0 から 4294967295 までの整数");
    case FieldRule::kTrial:
      return QCoreApplication::translate("ReadNote", "1 以上の整数");
    case FieldRule::kTrialCount:
      return QCoreApplication::translate("ReadNote", "試行の数");
    case FieldRule::kPhase:
      return QCoreApplication::translate("ReadNote", "%1 か %2")
          .arg(Token(experiment::PhaseName(true)), Token(experiment::PhaseName(false)));
    case FieldRule::kStimulus:
      return QCoreApplication::translate("ReadNote", "%1 か %2")
          .arg(Token(experiment::StimulusName(experiment::kNoise)), Token(experiment::StimulusName(experiment::kSignal)));
    case FieldRule::kRating:
      return QCoreApplication::translate("ReadNote", "評定の番号");
    case FieldRule::kMilliseconds:
      return QCoreApplication::translate("ReadNote", "ミリ秒の数");
    case FieldRule::kWholeMilliseconds:
      return QCoreApplication::translate("ReadNote", "ミリ秒の整数");
  }
  return {};
}

// Why a file or folder cannot be read; the system's own words for the rarer
// reasons.
QString SystemReason(const experiment::ReadNote& note) {
  switch (note.error) {
    case ENOENT:
      return QCoreApplication::translate("ReadNote", "ファイルもフォルダーもありません");
    case EACCES:
    case EPERM:
      return QCoreApplication::translate("ReadNote", "読む権限がありません");
    case EISDIR:
      return QCoreApplication::translate("ReadNote", "フォルダーです");
    default:
      return QCoreApplication::translate("ReadNote", "読み込めません（%1）")
          .arg(QString::fromStdString(note.values.empty() ? "" : note.values[0]));
  }
}

QString Reason(const experiment::ReadNote& note) {
  const auto value = [&note](std::size_t i) {
    return QString::fromStdString(i < note.values.size() ? note.values[i] : std::string());
  };
  switch (note.code) {
    case NoteCode::kCannotRead:
      return SystemReason(note);
    case NoteCode::kNotText:
      return QCoreApplication::translate("ReadNote", "UTF-8 としても Shift_JIS (CP932) としても読めない文字があります");
    case NoteCode::kNotAHeader:
      return QCoreApplication::translate("ReadNote", "最初の行は見出し %1 か %2 でなければなりません").arg(value(0), value(1));
    case NoteCode::kNoSessions:
      return QCoreApplication::translate("ReadNote", "セッションがありません");
    case NoteCode::kDatabase:
      return QCoreApplication::translate("ReadNote", "クラスのデータベースを読めません: %1").arg(value(0));
    case NoteCode::kMalformedQuotes:
      return QCoreApplication::translate("ReadNote", "引用符 (\") の使い方が正しくありません");
    case NoteCode::kFieldCount:
      return QCoreApplication::translate("ReadNote", "欄が %1 個のはずが %2 個あります").arg(value(0), value(1));
    case NoteCode::kBadField:
      return QCoreApplication::translate("ReadNote", "%1 の「%2」が %3 ではありません")
          .arg(value(0), value(1), ShownRule(note.rule));
    case NoteCode::kTrialBeyondDesign:
      return QCoreApplication::translate("ReadNote", "試行「%1」が 1 から %2 までの整数ではありません").arg(value(0), value(1));
    case NoteCode::kPhaseOfTrial:
      return QCoreApplication::translate("ReadNote", "段階「%1」が試行 %2 の段階（%3）と合いません").arg(value(0), value(1), value(2));
    case NoteCode::kRatingBeyondScale:
      return QCoreApplication::translate("ReadNote", "評定「%1」が 1 から %2 までの評定ではありません").arg(value(0), value(1));
    case NoteCode::kTrialAgain:
      return QCoreApplication::translate("ReadNote", "セッション %2 の試行 %1 が重なっています（先の行を使います）").arg(value(0), value(1));
    case NoteCode::kReadAsCp932:
      return QCoreApplication::translate("ReadNote", "UTF-8 ではないので Shift_JIS (CP932) として読みました");
    case NoteCode::kReadWithSemicolons:
      return QCoreApplication::translate("ReadNote", "欄の区切りを「;」、小数点を「,」として読みました");
  }
  return {};
}

}  // namespace

QString ReadNoteText(const experiment::ReadNote& note) {
  QString where = QString::fromStdString(note.where);
  if (note.line > 0) where += u':' + QString::number(note.line);
  return where + QStringLiteral(": ") + Reason(note);
}
