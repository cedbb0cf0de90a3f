#pragma once
#include <QString>
#include <cmath>

// A number in fixed notation for the analysis and class windows: "—" for
// anything that is not finite; a value that rounds to zero shows without a
// minus sign.
inline QString FixedText(double v, int decimals) {
  if (!std::isfinite(v)) return QStringLiteral("—");
  QString s = QString::number(v, 'f', decimals);
  if (s.startsWith(u'-') && s.toDouble() == 0) s.remove(0, 1);
  return s;
}
