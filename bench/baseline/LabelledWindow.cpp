// The start-up benchmark's fair baseline: a Qt window with one label of
// Japanese text in IPAPGothic, the size of the program's main window. Like
// the program it pays for fontconfig's start-up and a Japanese face; the
// empty window beside it shows what Qt alone costs.
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle("LabelledWindow");
  window.resize(432, 250);
  QLabel label(QString::fromUtf8("「Do Exp」ボタンを押して下さい"), &window);
  QFont font("IPAPGothic");
  font.setPixelSize(16);
  label.setFont(font);
  label.move(80, 48);
  window.show();
  return app.exec();
}
