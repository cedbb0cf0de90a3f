#pragma once
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "classdata/ClassLoader.h"
#include "stats/ClassSummary.h"

class QIODevice;
class QPainter;

// What the class report shows: the class read by the loader, its designs'
// summaries, the comparison of two designs and where the data came from.
struct ClassReportContent {
  const classdata::ClassLoader* loader = nullptr;
  std::vector<roc::DesignSummary> designs;
  std::string first, second;  // the compared designs; none when either is empty
  QStringList sources;
  bool withIncomplete = false;  // the designs summarised, and compared, with their incomplete sessions
};

// The report as a PDF on A4: the ROC and the z-ROC plot, the designs'
// summaries, the comparison, what could not be read, then the session table
// over as many pages as it takes. Paints with Qt's PDF engine: needs a
// QGuiApplication, no display (the offscreen platform does).
void WriteClassReport(QIODevice* device, const ClassReportContent& content);

// The same pages painted with painter, each of the given size in pixels of
// 96 per inch; newPage starts the next one.
void PaintClassReport(QPainter& painter, QSizeF page, const std::function<void()>& newPage,
                      const ClassReportContent& content);

// Writes the report to a temporary file beside path, which then takes the
// path's name. Empty on success, else the reason.
QString SaveClassReport(const QString& path, const ClassReportContent& content);
