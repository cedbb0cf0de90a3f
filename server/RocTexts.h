#pragma once
#include <QJsonObject>

#include "ui/qt/Language.h"

namespace server {

// The texts of the student's ROC page, added to the page's texts: the ROC
// window's and the analysis window's own (their contexts and Japanese
// sources) and the page's few of its own.
void AddRocTexts(QJsonObject& texts, ui::Language language);

}  // namespace server
