#include "shell/MainWindow.h"
#include "ui/qt/Application.h"

int main(int argc, char** argv) {
  ui::Application::Initialize(argc, argv);
  MainWindow.Form1 = ui::Form::Create<TForm1>(nullptr);
  return ui::Application::Run();
}
