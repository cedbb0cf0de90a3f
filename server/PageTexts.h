#pragma once
#include <QJsonObject>

#include "ui/qt/Language.h"

namespace server {

// Every text the page shows, by key, in the language: the windows' own texts
// (their contexts and Japanese sources, so their English is the windows')
// and the page's own.
QJsonObject PageTexts(ui::Language language);

}  // namespace server
