// The start-up benchmark's baseline: an empty Qt window, started and shown as
// the program's main window is, so that the figure of the program can be read
// against what Qt itself costs on the machine.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle("EmptyWindow");
  window.resize(432, 250);
  window.show();
  return app.exec();
}
