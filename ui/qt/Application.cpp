#include "Application.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPalette>
#include <algorithm>
#include <cctype>
#include <new>

#include "Form.h"
#include "Language.h"
#include "QtColour.h"
#include "ui/Colour.h"
#include "numeric/Errors.h"
#include "numeric/Extended.h"

namespace ui {

namespace {
struct Registry {
  QApplication* app = nullptr;
  std::vector<Form*> forms;   // in order of creation; forms[0] is the main form
  std::vector<Form*> recent;  // most recently activated last
  Form* active = nullptr;
  Application::ErrorBox errorBox;
  Form* expected = nullptr;  // activated by the program, not yet confirmed by the window system
  QElapsedTimer expectedSince;
};

// The floating-point errors' messages (numeric/Errors.h), for the
// translation files.
[[maybe_unused]] constexpr const char* kErrorTexts[] = {
    QT_TRANSLATE_NOOP("numeric::ProgramError", "0 による浮動小数点数除算"),
    QT_TRANSLATE_NOOP("numeric::ProgramError", "不正な浮動小数点数演算命令"),
    QT_TRANSLATE_NOOP("numeric::ProgramError", "浮動小数点数のオーバーフロー"),
    QT_TRANSLATE_NOOP("numeric::ProgramError", "システム リソースが足りません"),
};

// How long a programmatic activation waits for the window system to confirm it.
constexpr qint64 kConfirmationWindowMs = 500;
Registry& S() {
  static Registry s;
  return s;
}

}  // namespace

void Application::Initialize(int& argc, char** argv) {
  numeric::InitFloatingPoint();
  if (!QApplication::instance()) S().app = new QApplication(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  const QPalette pal = QApplication::palette();
  SetSystemColour(8, FromQColor(pal.color(QPalette::WindowText)));
  SetSystemColour(15, FromQColor(pal.color(QPalette::Button)));
}

int Application::Run() {
  if (Form* main = MainForm()) main->SetVisible(true);
  const int code = QApplication::exec();
  // Destroying the main form destroys every form it owns.
  if (!S().forms.empty()) delete S().forms.front();
  return code;
}

void Application::Terminate() { QCoreApplication::exit(0); }

Form* Application::MainForm() { return S().forms.empty() ? nullptr : S().forms.front(); }

void Application::Invoke(const std::function<void()>& handler) {
  if (!handler) return;
  try {
    handler();
  } catch (const numeric::ProgramError& e) {
    numeric::InitFloatingPoint();
    ShowErrorBox(e.what());
  } catch (const std::bad_alloc&) {
    numeric::InitFloatingPoint();
    ShowErrorBox(numeric::EOutOfResources().what());
  }
}

std::string Application::TitleFromPath(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
  name = name.substr(0, name.find('.'));
  for (std::size_t i = 0; i < name.size(); ++i) {
    const unsigned char ch = static_cast<unsigned char>(name[i]);
    name[i] = static_cast<char>(i == 0 ? std::toupper(ch) : std::tolower(ch));
  }
  return name;
}

std::string Application::Title() {
  return TitleFromPath(QCoreApplication::applicationFilePath().toStdString());
}

void Application::SetErrorBox(ErrorBox box) { S().errorBox = std::move(box); }

void Application::ShowErrorBox(const std::string& message) {
  // The floating-point errors' texts have translations; other messages come
  // translated from where they were made.
  const std::string text =
      numeric::ErrorBoxText(CurrentLanguage() == Language::kJapanese
                                ? message
                                : QCoreApplication::translate("numeric::ProgramError", message.c_str()).toStdString());
  Form* before = S().active;
  if (S().errorBox) {
    S().errorBox(Title(), text);
  } else {
    // Application-modal: every window of the program takes no input while it is open.
    QMessageBox box(QMessageBox::Critical, QString::fromStdString(Title()), QString::fromStdString(text),
                    QMessageBox::Ok, before && before->isVisible() ? before : nullptr);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
  }
  if (before && before->isVisible()) before->activateWindow();
}

void Application::FormActivated(Form* form) {
  Registry& s = S();
  if (form == s.active) return;
  s.active = form;
  s.recent.erase(std::remove(s.recent.begin(), s.recent.end(), form), s.recent.end());
  s.recent.push_back(form);
  Invoke(form->OnActivate);
}

Form* Application::ActiveForm() { return S().active; }

void Application::ActivateNow(Form* form) {
  Registry& s = S();
  s.expected = form;
  s.expectedSince.start();
  form->activateWindow();
  FormActivated(form);
}

void Application::WindowSystemActivated(Form* form) {
  Registry& s = S();
  if (s.expected && s.expectedSince.elapsed() < kConfirmationWindowMs) {
    if (form == s.expected) s.expected = nullptr;
    return;
  }
  s.expected = nullptr;
  FormActivated(form);
}

void Application::RegisterForm(Form* form) { S().forms.push_back(form); }

void Application::UnregisterForm(Form* form) {
  Registry& s = S();
  s.forms.erase(std::remove(s.forms.begin(), s.forms.end(), form), s.forms.end());
  s.recent.erase(std::remove(s.recent.begin(), s.recent.end(), form), s.recent.end());
  if (s.active == form) s.active = nullptr;
  if (s.expected == form) s.expected = nullptr;
}

void Application::FormHidden(Form* form) {
  Registry& s = S();
  if (s.active != form) return;
  // The window of the program now in front becomes active.
  for (auto it = s.recent.rbegin(); it != s.recent.rend(); ++it) {
    if (*it != form && (*it)->isVisible()) {
      ActivateNow(*it);
      return;
    }
  }
  s.active = nullptr;
}

}  // namespace ui
