#pragma once
#include <QByteArray>
#include <QString>
#include <functional>

class QIODevice;

// Writes a file through a temporary one beside path, which then takes the
// path's name: a failed or broken-off save leaves what was there. write puts
// the content on the device and says whether it could. Empty on success,
// else the path and the reason.
QString SaveFileAtomically(const QString& path, const std::function<bool(QIODevice&)>& write);

// The same for bytes made beforehand.
QString SaveFileAtomically(const QString& path, const QByteArray& bytes);
