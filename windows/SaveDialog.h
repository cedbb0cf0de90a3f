#pragma once
#include <QString>
#include <string>

class QWidget;

// The standard save dialog, in Japanese where Qt has the translation (in
// English in the English interface); empty when the user cancels. It proposes
// "<stem>_<local date and time of the session>_<observer>.<extension>" (each
// part only when given) in the last folder used or the documents folder (the
// home folder when there is none), and a name typed without an extension
// gets this one. Qt's dialog asks before overwriting a file.
QString AskSavePath(QWidget* parent, const QString& title, const char* stem, const char* extension, const char* filter,
                    const std::string& session = {}, const std::string& observer = {});
