#pragma once
#include <QString>

#include "experiment/ReadNote.h"

// What a reader of class data said of a file, a line or a source, as the
// windows and the class report show it, in the interface's language:
// "<where>[:<line>]: <reason>".
QString ReadNoteText(const experiment::ReadNote& note);
