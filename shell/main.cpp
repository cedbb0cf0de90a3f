#include <cstdio>

#include "shell/MainWindow.h"
#include "ui/FontEngine.h"
#include "ui/qt/Application.h"
#include "ui/qt/Display.h"

int main(int argc, char** argv) {
  if (const std::string problem = ui::DisplayProblem(); !problem.empty()) {
    std::fprintf(stderr, "rocrating: %s\n", problem.c_str());
    return 1;
  }
  for (const ui::MissingFace& f : ui::MissingFaces()) {
    std::fprintf(stderr, "rocrating: font %s not found (Debian package %s); drawing with %s instead\n",
                 f.family.c_str(), f.package.c_str(), f.substitute.empty() ? "no font" : f.substitute.c_str());
  }
  ui::Application::Initialize(argc, argv);
  MainWindow.Form1 = ui::Form::Create<TForm1>(nullptr);
  return ui::Application::Run();
}
