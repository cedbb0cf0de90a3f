#pragma once
#include <QJsonObject>

#include "stats/BinormalFit.h"
#include "ui/qt/Language.h"

namespace server {

// The texts of the student's ROC page, added to the page's texts: the ROC
// window's and the analysis window's own (their contexts and Japanese
// sources) and the page's few of its own.
void AddRocTexts(QJsonObject& texts, ui::Language language);

// The key among them of the text that says why counts cannot be fitted.
const char* FitObstacleKey(roc::FitObstacle why);

}  // namespace server
