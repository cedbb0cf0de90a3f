#include "Screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace ui {

int Screen::Width() {
  const QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->geometry().width() : 0;
}

int Screen::Height() {
  const QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->geometry().height() : 0;
}

}  // namespace ui
