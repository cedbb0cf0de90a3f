#pragma once
#include <QJsonObject>

#include "ui/qt/Language.h"

namespace server {

// The texts of the teacher's class view (the class window's and its plot's),
// added to the page's texts in the page's language.
void AddClassTexts(QJsonObject& texts, ui::Language language);

}  // namespace server
