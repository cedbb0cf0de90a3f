// Seeded random journeys through every window of the program.
//
// A run is a series of sessions; each session is one program run from start
// to "Exit": a fresh main window, a random number of random user actions
// across the main window, the experiment windows and the ROC windows, then the
// main window's "Exit" clicked inside the event loop. After every action the
// state of every run and window is checked.
//
// The run is a function of its seed: the program's own timers are delivered by
// the driver (the handler is called while the timer is running, as the timer
// would), and event processing leaves timer events out, so wall-clock timing
// does not change what happens. A failure names the seed and the action; set
// ROCRATING_STRESS_SEED to that seed (and ROCRATING_STRESS_ACTIONS to a count
// just past the action) to repeat exactly that run.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "experiment/Run.h"
#include "experiment/Generator.h"
#include "experiment/StimulusPatterns.h"
#include "windows/UDispPattern.h"
#include "plot/RocState.h"
#include "windows/UDispGraph2.h"
#include "shell/MainWindow.h"
#include "tests/support/ErrorBoxRecorder.h"
#include "ui/qt/Application.h"

namespace {

constexpr std::uint64_t kDefaultSeed = 20240611;
constexpr long kDefaultActions = 100000;
// Shorter runs from other seeds: other session tempers, other first choices.
constexpr std::uint64_t kMoreSeeds[] = {1, 0xC0FFEE, 987654321};
constexpr long kMoreSeedActions = 8000;
constexpr int kMaxWindowsOfAKind = 6;
constexpr std::size_t kLogLength = 24;

std::optional<std::uint64_t> EnvNumber(const char* name) {
  const char* text = std::getenv(name);
  if (!text || !*text) return std::nullopt;
  char* end = nullptr;
  const unsigned long long v = std::strtoull(text, &end, 0);
  if (*end != '\0') return std::nullopt;
  return v;
}

// splitmix64: the same numbers with every compiler and library, so a seed
// means the same run everywhere.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  int Below(std::size_t n) { return static_cast<int>(Next() % n); }
  bool OneIn(int n) { return Below(static_cast<std::size_t>(n)) == 0; }
  template <class T>
  T Pick(const std::vector<T>& v) {
    return v[static_cast<std::size_t>(Below(v.size()))];
  }

 private:
  std::uint64_t state_;
};

// The tally the analysis must show after "Disp": that of the records then.
roc::TallyTable TallyOf(const experiment::TrialRecords& records) {
  return roc::CumulativeTally(roc::CountRecordedRatings(records));
}

std::string TallyText(const roc::TallyTable& t) {
  std::string s;
  for (int k = 0; k < 2; ++k) {
    s += k == 0 ? "noise {" : " signal {";
    for (int r = 0; r < 5; ++r) s += (r ? "," : "") + std::to_string(t.counts[k][r]);
    s += "}";
  }
  return s;
}

const char* MouseName(Qt::MouseButton b) {
  return b == Qt::LeftButton ? "left" : b == Qt::RightButton ? "right" : "middle";
}

// What a session reached, to show that the journeys go deep.
struct Coverage {
  long sessions = 0;
  long experimentWindows = 0;
  long rocWindows = 0;
  long completedRuns = 0;  // end screens reached
  long dispWithRecords = 0;
  long dispWithAllRecords = 0;
  long closes = 0;
  long timerEvents = 0;
  long keys = 0;
  long holdsCutOff = 0;  // holds ended by a close or a lost activation
  long finishedRunsClosed = 0;  // complete runs closed by the close box
  long analysisActions = 0;
};

class StressRun {
 public:
  StressRun(std::uint64_t seed, long actions) : rng_(seed), seed_(seed), total_(actions) {}

  void Run() {
    std::printf("[ stress   ] seed %llu, %ld actions (ROCRATING_STRESS_SEED=%llu repeats this run)\n",
                static_cast<unsigned long long>(seed_), total_, static_cast<unsigned long long>(seed_));
    experiment::SetClockForTests([this] {
      // Every experiment window seeds the program's generator from the clock:
      // give it a time of day of this run's own.
      const std::uint64_t ms = rng_.Next() % 86400000ULL;
      return experiment::TimeOfDay{static_cast<int>(ms / 3600000), static_cast<int>(ms / 60000 % 60),
                                   static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000)};
    });
    while (done_ < total_ && !failed_) {
      StartSession();
      const long length = 200 + rng_.Below(2500);
      // A session also ends when only the main window is left with nothing to open.
      for (long i = 0; i < length && done_ < total_ && !failed_ && !Finished(); ++i) {
        phase_ = Phase::kAction;
        const std::vector<RunState> before = RunStates();
        answerAllowed_ = false;
        Act();
        if (!failed_) CheckAnswerOrigin(before);
        if (!failed_) Check();
        ++done_;
      }
      EndSession();
    }
    experiment::SetClockForTests(nullptr);
    std::printf(
        "[ stress   ] seed %llu: %ld actions in %ld sessions; %ld experiment windows, %ld completed runs, "
        "%ld ROC windows, %ld Disp with records (%ld with all 50), %ld closes (%ld of complete runs), "
        "%ld timer events, %ld keys, %ld holds cut off, %ld analysis actions\n",
        static_cast<unsigned long long>(seed_), done_, cover_.sessions, cover_.experimentWindows,
        cover_.completedRuns, cover_.rocWindows, cover_.dispWithRecords, cover_.dispWithAllRecords, cover_.closes,
        cover_.finishedRunsClosed, cover_.timerEvents, cover_.keys, cover_.holdsCutOff, cover_.analysisActions);
  }

  const Coverage& Cover() const { return cover_; }
  bool Failed() const { return failed_; }

 private:
  enum Kind { kClick, kStep, kTimer, kActivate, kType, kEvents, kOpen, kClose, kKey, kDeactivate, kAnalysis, kKinds };

  // ---- sessions -----------------------------------------------------------

  void StartSession() {
    phase_ = Phase::kStart;
    ++cover_.sessions;
    exps_.clear();
    rocs_.clear();
    children_.clear();
    exitOdds_.clear();
    endReached_.clear();
    handedOver_.clear();
    completeHandedOver_ = false;
    expectedTally_.clear();

    // Each session has its own temper: how eagerly windows are opened and closed.
    const int open[] = {2, 6, 20};
    const int close[] = {0, 1, 3};
    weights_ = {400, 150, 120, 60, 40, 20, open[rng_.Below(3)], close[rng_.Below(3)], 60, 10, 15};

    main_ = ui::Form::Create<TForm1>(nullptr);
    if (ui::Application::MainForm() != main_) Fail("the new main window is not the program's first form");
    main_->SetVisible(true);
    Log("session " + std::to_string(cover_.sessions) + " starts");
    if (!failed_) Check();
  }

  // The program ends by the main window's "Exit" or by a ROC window's, which
  // ends it too, clicked inside the event loop.
  void EndSession() {
    phase_ = Phase::kEnd;
    if (!main_) {
      Fail("the main window was destroyed before Exit");
      return;
    }
    std::vector<QPointer<ui::Form>> windows;
    windows.emplace_back(main_.data());
    for (auto& f : exps_) windows.emplace_back(f.data());
    for (auto& f : rocs_) windows.emplace_back(f.data());

    ui::Button* exit = &main_->ExitButton;
    std::string exitName = "main.Exit";
    const std::vector<int> g = VisibleRocs();
    TDispGraph2* exitWindow = nullptr;
    if (!g.empty() && rng_.OneIn(2)) {
      const int gi = rng_.Pick(g);
      exitWindow = rocs_[static_cast<std::size_t>(gi)];
      exit = &exitWindow->ExitButton;
      exitName = "R" + std::to_string(gi) + ".Exit";
    }

    if (!Clickable(*exit)) {
      Fail(exitName + " cannot be clicked");
      delete main_.data();
      return;
    }
    bool clicked = false;
    QTimer::singleShot(0, exit, [exit, &clicked] {
      clicked = true;
      QTest::mouseClick(exit, Qt::LeftButton);
    });
    // Should Exit fail to end the loop, this ends it with another code.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(3); });
    guard.start(20000);
    const int code = ui::Application::Run();
    guard.stop();
    Log(exitName + " in the event loop");

    if (code != 0) Fail("Run() returned " + std::to_string(code) + " after " + exitName);
    if (!clicked) Fail("the event loop ended before Exit was clicked");
    for (std::size_t i = 0; i < windows.size(); ++i)
      if (!windows[i].isNull()) Fail("window " + std::to_string(i) + " outlived the end of the program");
    if (ui::Application::MainForm() != nullptr) Fail("a form is still registered after the end of the program");
    if (!failed_) CheckState();
  }

  // ---- actions ------------------------------------------------------------

  bool CanOpen() const {
    return (Clickable(main_->DoExpButton) && exps_.size() < std::size_t{kMaxWindowsOfAKind}) ||
           (Clickable(main_->DataButton) && rocs_.size() < std::size_t{kMaxWindowsOfAKind});
  }
  bool Finished() const { return VisibleExps().empty() && VisibleRocs().empty() && !CanOpen(); }

  void Act() {
    // With only the main window on the screen the user opens a window soon.
    if (VisibleExps().empty() && VisibleRocs().empty() && rng_.OneIn(2) && Open()) return;
    // A complete run just handed over is what a user then looks at.
    if (completeHandedOver_ && rng_.OneIn(2) && OpenRoc()) return;
    int sum = 0;
    for (int w : weights_) sum += w;
    // Some kinds are not possible in every state: draw again, then fall back
    // to event processing, which always is.
    for (int attempt = 0; attempt < 16; ++attempt) {
      int r = rng_.Below(static_cast<std::size_t>(sum));
      int kind = 0;
      while (r >= weights_[kind]) r -= weights_[kind++];
      if (Do(static_cast<Kind>(kind))) return;
    }
    Do(kEvents);
  }

  bool Do(Kind kind) {
    switch (kind) {
      case kClick: return Click();
      case kStep: return StepButtons();
      case kTimer: return TimerEvent();
      case kActivate: return Activate();
      case kType: return Type();
      case kEvents: return ProcessEvents();
      case kOpen: return Open();
      case kClose: return CloseWindow();
      case kKey: return Key();
      case kDeactivate: return Deactivate();
      case kAnalysis: return Analysis();
      default: return false;
    }
  }

  std::vector<int> VisibleExps() const {
    std::vector<int> v;
    for (std::size_t i = 0; i < exps_.size(); ++i)
      if (exps_[i] && exps_[i]->isVisible()) v.push_back(static_cast<int>(i));
    return v;
  }
  std::vector<int> VisibleRocs() const {
    std::vector<int> v;
    for (std::size_t i = 0; i < rocs_.size(); ++i)
      if (rocs_[i] && rocs_[i]->isVisible()) v.push_back(static_cast<int>(i));
    return v;
  }

  struct NamedForm {
    ui::Form* form;
    std::string name;
  };
  // The windows on the screen, the main window first when asked for.
  std::vector<NamedForm> ShownForms(bool withMain) const {
    std::vector<NamedForm> shown;
    if (withMain) shown.push_back({main_.data(), "main"});
    for (int i : VisibleExps()) shown.push_back({exps_[static_cast<std::size_t>(i)], "E" + std::to_string(i)});
    for (int i : VisibleRocs()) shown.push_back({rocs_[static_cast<std::size_t>(i)], "R" + std::to_string(i)});
    return shown;
  }

  static bool Clickable(const ui::Button& b) { return b.isVisible() && b.isEnabled(); }

  void ClickButton(ui::Button& b, const std::string& what) {
    Log("click " + what);
    QTest::mouseClick(&b, Qt::LeftButton);
  }

  // A left click on a button of an experiment or ROC window.
  bool Click() {
    const std::vector<int> e = VisibleExps();
    const std::vector<int> g = VisibleRocs();
    if (e.empty() && g.empty()) return false;
    // An experiment window counts three times: a run needs 180 clicks and timer events.
    const std::size_t which = static_cast<std::size_t>(rng_.Below(3 * e.size() + g.size()));
    if (which < 3 * e.size()) return ClickExperiment(e[which / 3]);
    return ClickRoc(g[which - 3 * e.size()]);
  }

  bool ClickExperiment(int index) {
    TFormDisp& f = *exps_[static_cast<std::size_t>(index)];
    const std::string name = "E" + std::to_string(index) + ".";
    struct Named {
      ui::Button* b;
      const char* name;
    };
    const Named all[] = {{&f.GOButton, "GO"},
                         {&f.RatingButton(experiment::kCertainS), "異常あり"},
                         {&f.RatingButton(experiment::kProbablyS), "たぶん異常あり"},
                         {&f.RatingButton(experiment::kProbablyN), "たぶん異常なし"},
                         {&f.RatingButton(experiment::kCertainN), "異常なし"}};
    std::vector<Named> pool;
    for (const Named& n : all)
      if (Clickable(*n.b)) pool.push_back(n);
    if (pool.empty() && endReached_[static_cast<std::size_t>(index)] && rng_.OneIn(6)) {
      // Many leave a finished run by its close box rather than by "Exit".
      Log("close box of finished " + name.substr(0, name.size() - 1));
      ++cover_.closes;
      CloseByWindowSystem(f);
      return true;
    }
    if (Clickable(f.ExitButton) && (pool.empty() ? rng_.OneIn(4) : rng_.OneIn(exitOdds_[index]))) {
      ClickButton(f.ExitButton, name + "Exit");
      return true;
    }
    if (pool.empty()) return false;  // the exposure, or the end screen left alone
    const Named n = pool[static_cast<std::size_t>(rng_.Below(pool.size()))];
    answerAllowed_ = n.b != &f.GOButton && RatingScreen(f);
    ClickButton(*n.b, name + n.name);
    return true;
  }

  bool ClickRoc(int index) {
    TDispGraph2& g = *rocs_[static_cast<std::size_t>(index)];
    const std::string name = "R" + std::to_string(index) + ".";
    if (Clickable(g.DispButton) && rng_.OneIn(8)) {
      expectedTally_[static_cast<std::size_t>(index)] = TallyOf(g.run().TrialResults);
      int records = 0;
      for (const auto& r : g.run().TrialResults) records += r.Response != 0;
      if (records > 0) ++cover_.dispWithRecords;
      if (records == experiment::Design::Standard().RecordedTrials) ++cover_.dispWithAllRecords;
      ClickButton(g.DispButton, name + "Disp");
      return true;
    }
    const int k = rng_.Below(10);
    ui::Button& b = StepButton(g, k);
    if (!Clickable(b)) return false;
    ClickButton(b, name + StepName(k));
    return true;
  }

  static ui::Button& StepButton(TDispGraph2& g, int k) {
    ui::Button* const buttons[] = {&g.DUpButton,  &g.DDownButton,  &g.CriterionUpButton(3), &g.CriterionDownButton(3),
                                   &g.CriterionUpButton(2), &g.CriterionDownButton(2), &g.CriterionUpButton(1), &g.CriterionDownButton(1),
                                   &g.RUpButton,  &g.RDownButton};
    return *buttons[k];
  }
  static const char* StepName(int k) {
    static const char* const names[] = {"d大", "d小", "c3大", "c3小", "c2大", "c2小", "c1大", "c1小", "R大", "R小"};
    return names[k];
  }

  Qt::MouseButton AnyMouseButton() {
    const Qt::MouseButton b[] = {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton};
    return b[rng_.Below(3)];
  }

  // Presses and releases of the press-and-hold step buttons, with any mouse
  // button, also across buttons and windows, and double clicks.
  bool StepButtons() {
    const std::vector<int> g = VisibleRocs();
    if (g.empty()) return false;
    const int gi = rng_.Pick(g);
    TDispGraph2& form = *rocs_[static_cast<std::size_t>(gi)];
    const int k = rng_.Below(10);
    ui::Button& a = StepButton(form, k);
    const Qt::MouseButton mb = AnyMouseButton();
    const std::string name = "R" + std::to_string(gi) + "." + StepName(k) + " " + MouseName(mb);
    switch (rng_.Below(7)) {
      case 0:
        Log("press+release " + name);
        QTest::mousePress(&a, mb);
        QTest::mouseRelease(&a, mb);
        break;
      case 1: {
        const int ticks = 1 + rng_.Below(3);
        Log("hold " + name + " for " + std::to_string(ticks) + " ticks");
        QTest::mousePress(&a, mb);
        for (int t = 0; t < ticks && form.Timer1.Running(); ++t) Tick(form);
        QTest::mouseRelease(&a, mb);
        break;
      }
      case 2: {
        const int hi = rng_.Pick(g);
        const int kb = rng_.Below(10);
        const Qt::MouseButton mb2 = rng_.OneIn(2) ? mb : AnyMouseButton();
        Log("press " + name + ", release R" + std::to_string(hi) + "." + StepName(kb) + " " + MouseName(mb2));
        QTest::mousePress(&a, mb);
        QTest::mouseRelease(&StepButton(*rocs_[static_cast<std::size_t>(hi)], kb), mb2);
        break;
      }
      case 3:
        Log("press " + name + " (kept down)");
        QTest::mousePress(&a, mb);
        break;
      case 4:
        Log("release " + name);
        QTest::mouseRelease(&a, mb);
        break;
      case 5:
        Log("double click " + name);
        QTest::mousePress(&a, mb);
        QTest::mouseRelease(&a, mb);
        QTest::mouseDClick(&a, mb);
        QTest::mouseRelease(&a, mb);
        break;
      default:
        Log("double-click event alone " + name);
        QTest::mouseDClick(&a, mb);
        break;
    }
    return true;
  }

  // One event of a window's timer, dispatched as the timer dispatches it.
  template <class F>
  void Tick(F& form) {
    ++cover_.timerEvents;
    ui::Application::Invoke([&form] { form.Timer1Timer(); });
  }

  // A timer event of a running timer; a hidden window's timer runs on too.
  bool TimerEvent() {
    std::vector<int> running;  // experiment windows as i, ROC windows as 100 + i
    for (std::size_t i = 0; i < exps_.size(); ++i)
      if (exps_[i] && exps_[i]->Timer1.Running()) running.push_back(static_cast<int>(i));
    for (std::size_t i = 0; i < rocs_.size(); ++i)
      if (rocs_[i] && rocs_[i]->Timer1.Running()) running.push_back(100 + static_cast<int>(i));
    if (running.empty()) return false;
    const int w = rng_.Pick(running);
    if (w < 100) {
      Log("timer E" + std::to_string(w));
      Tick(*exps_[static_cast<std::size_t>(w)]);
    } else {
      Log("timer R" + std::to_string(w - 100));
      Tick(*rocs_[static_cast<std::size_t>(w - 100)]);
    }
    return true;
  }

  // The user brings another window of the program to the front.
  bool Activate() {
    const NamedForm f = rng_.Pick(ShownForms(true));
    Log("activate " + f.name);
    ui::Application::FormActivated(f.form);
    return true;
  }

  bool Type() {
    const std::vector<int> g = VisibleRocs();
    if (g.empty()) return false;
    const int gi = rng_.Pick(g);
    TDispGraph2& form = *rocs_[static_cast<std::size_t>(gi)];
    ui::Edit* const edits[] = {&form.DEdit, &form.CriterionEdit(3), &form.CriterionEdit(2), &form.CriterionEdit(1), &form.REdit};
    static const char* const editNames[] = {"d", "c3", "c2", "c1", "R"};
    const int ei = rng_.Below(5);
    ui::Edit& e = *edits[ei];
    const std::string name = "R" + std::to_string(gi) + "." + editNames[ei] + " edit";
    if (rng_.OneIn(4)) {
      const struct {
        Qt::Key key;
        const char* name;
      } keys[] = {{Qt::Key_Backspace, "Backspace"}, {Qt::Key_Delete, "Delete"}, {Qt::Key_Home, "Home"},
                  {Qt::Key_End, "End"},             {Qt::Key_Return, "Return"}, {Qt::Key_Tab, "Tab"},
                  {Qt::Key_Space, "Space"}};
      const auto& k = keys[rng_.Below(7)];
      Log(std::string("key ") + k.name + " into " + name);
      QTest::keyClick(&e, k.key);
      return true;
    }
    static const QString chars = QStringLiteral("0123456789.,-+e dcR=大小あ ");
    QString text;
    const int n = 1 + rng_.Below(6);
    for (int i = 0; i < n; ++i) text += chars[rng_.Below(static_cast<std::size_t>(chars.size()))];
    Log("type \"" + text.toStdString() + "\" into " + name);
    for (QChar ch : text) {
      if (ch.unicode() < 0x80) {
        QTest::keyClick(&e, static_cast<char>(ch.unicode()));
      } else {
        // What an input method delivers: a key event that carries only the text.
        QTest::sendKeyEvent(QTest::Click, &e, Qt::Key_unknown, QString(ch), Qt::NoModifier);
      }
    }
    return true;
  }

  bool ProcessEvents() {
    Log("process events");
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::X11ExcludeTimers);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return true;
  }

  // "Do Exp" or "Disp. Data", when shown and while the window count is small.
  bool Open() {
    if (!CanOpen()) return false;
    std::vector<int> choices;
    if (Clickable(main_->DoExpButton) && exps_.size() < std::size_t{kMaxWindowsOfAKind}) choices.push_back(0);
    if (Clickable(main_->DataButton) && rocs_.size() < std::size_t{kMaxWindowsOfAKind}) choices.push_back(1);
    if (rng_.Pick(choices) == 0) {
      TFormDisp* before = main_->FormDisp;
      ClickButton(main_->DoExpButton, "main.Do Exp");
      if (main_->FormDisp == before || !main_->FormDisp) {
        Fail("\"Do Exp\" opened no experiment window");
        return true;
      }
      Opened(main_->FormDisp);
    } else {
      OpenRoc();
    }
    return true;
  }

  // A complete run just handed over gets a window even past the usual count.
  bool OpenRoc() {
    const std::size_t most = kMaxWindowsOfAKind + (completeHandedOver_ ? 2 : 0);
    if (!Clickable(main_->DataButton) || rocs_.size() >= most) return false;
    TDispGraph2* before = main_->DispGraph2;
    ClickButton(main_->DataButton, "main.Disp. Data");
    if (main_->DispGraph2 == before || !main_->DispGraph2) {
      Fail("\"Disp. Data\" opened no ROC window");
      return true;
    }
    Opened(main_->DispGraph2);
    return true;
  }

  void Opened(TFormDisp* f) {
    exps_.emplace_back(f);
    children_.emplace_back(f);
    exitOdds_.push_back(std::array<int, 3>{4, 60, 1000}[static_cast<std::size_t>(rng_.Below(3))]);
    endReached_.push_back(false);
    handedOver_.push_back(false);
    ++cover_.experimentWindows;
    if (!f->isVisible()) Fail("the new experiment window is not shown");
  }
  void Opened(TDispGraph2* g) {
    rocs_.emplace_back(g);
    expectedTally_.emplace_back();
    completeHandedOver_ = false;
    children_.emplace_back(g);
    ++cover_.rocWindows;
    if (!g->isVisible()) Fail("the new ROC window is not shown");
  }

  // The close box of an experiment or ROC window.
  bool CloseWindow() {
    const std::vector<int> e = VisibleExps();
    const std::vector<int> g = VisibleRocs();
    if (e.empty() && g.empty()) return false;
    const std::size_t which = static_cast<std::size_t>(rng_.Below(e.size() + g.size()));
    ui::Form* f = nullptr;
    if (which < e.size()) {
      f = exps_[static_cast<std::size_t>(e[which])];
      Log("close box of E" + std::to_string(e[which]));
    } else {
      TDispGraph2* r = rocs_[static_cast<std::size_t>(g[which - e.size()])];
      f = r;
      if (rng_.OneIn(3)) {
        const int k = rng_.Below(10);
        Log("press R" + std::to_string(g[which - e.size()]) + "." + StepName(k) + " (kept down)");
        QTest::mousePress(&StepButton(*r, k), AnyMouseButton());
        if (r->Timer1.Running()) ++cover_.holdsCutOff;
      }
      Log("close box of R" + std::to_string(g[which - e.size()]));
    }
    ++cover_.closes;
    CloseByWindowSystem(*f);
    return true;
  }

  void CloseByWindowSystem(ui::Form& f) {
    if (auto* x = dynamic_cast<TFormDisp*>(&f); x && !x->GOButton.Visible() && x->ExitButton.Visible() &&
                                                  x->Image3.Visible())
      ++cover_.finishedRunsClosed;
    f.close();
    if (f.isVisible()) Fail("a window stayed on the screen after its close box");
  }

  static bool RatingScreen(const TFormDisp& f) {
    return f.Image2.Visible() && f.RatingButton(experiment::kCertainS).Visible();
  }

  // A key pressed in one of the program's windows, delivered where the window
  // system delivers it: to the window's focused control, or to the window.
  bool Key() {
    const NamedForm picked = rng_.Pick(ShownForms(true));
    ui::Form& form = *picked.form;
    QWidget* target = form.focusWidget() ? form.focusWidget() : &form;
    const struct {
      Qt::Key key;
      Qt::KeyboardModifiers mods;
      const char* name;
    } keys[] = {{Qt::Key_Space, Qt::NoModifier, "Space"},    {Qt::Key_Space, Qt::NoModifier, "Space"},
                {Qt::Key_Return, Qt::NoModifier, "Enter"},   {Qt::Key_Tab, Qt::NoModifier, "Tab"},
                {Qt::Key_Backtab, Qt::ShiftModifier, "Shift+Tab"}, {Qt::Key_Escape, Qt::NoModifier, "Escape"},
                {Qt::Key_F4, Qt::AltModifier, "Alt+F4"}};
    const auto& k = keys[rng_.Below(std::size(keys))];
    ++cover_.keys;
    if (k.key == Qt::Key_F4) {
      // The window manager's close; on the main window it would end the program.
      if (&form == main_.data()) return false;
      Log("Alt+F4 on " + picked.name);
      ++cover_.closes;
      CloseByWindowSystem(form);
      return true;
    }
    // Space on a visible rating button of the rating screen is an answer.
    if (auto* x = dynamic_cast<TFormDisp*>(&form); x && k.key == Qt::Key_Space && RatingScreen(*x)) {
      for (ui::Button* b : x->RatingButtons())
        answerAllowed_ |= target == b && b->isVisible();
    }
    // An "Exit" that ends the program is left to the end of the session.
    if (target == &main_->ExitButton) return false;
    for (int r : VisibleRocs())
      if (target == &rocs_[static_cast<std::size_t>(r)]->ExitButton) return false;
    Log(std::string("key ") + k.name + " in " + picked.name + " (to " +
        (target == &form ? std::string("the window") : target->metaObject()->className()) + ")");
    for (int r : VisibleRocs())
      if (target == &rocs_[static_cast<std::size_t>(r)]->DispButton && k.key == Qt::Key_Space)
        expectedTally_[static_cast<std::size_t>(r)] = TallyOf(rocs_[static_cast<std::size_t>(r)]->run().TrialResults);
    TFormDisp* exp = main_->FormDisp;
    TDispGraph2* roc = main_->DispGraph2;
    QTest::keyClick(target, k.key, k.mods);
    // "Do Exp" and "Disp. Data" pressed from the keyboard open their windows.
    if (main_->FormDisp != exp) Opened(main_->FormDisp);
    if (main_->DispGraph2 != roc) Opened(main_->DispGraph2);
    return true;
  }

  // The analysis window of a ROC window: opened from the plot's menu, its
  // overlay switched, its estimates applied, or closed.
  bool Analysis() {
    const std::vector<int> g = VisibleRocs();
    if (g.empty()) return false;
    const int gi = rng_.Pick(g);
    TDispGraph2& form = *rocs_[static_cast<std::size_t>(gi)];
    const std::string name = "R" + std::to_string(gi);
    TAnalysisWindow* w = form.AnalysisWindow();
    const int choice = rng_.Below(4);
    if (!w || !w->isVisible() || choice == 0) {
      Log("menu 最尤推定... of " + name);
      form.PlotMenu()->actions().front()->trigger();
      ++cover_.analysisActions;
    } else if (choice == 1) {
      Log("プロットに重ねる in the analysis window of " + name);
      w->OverlayBox()->click();
      ++cover_.analysisActions;
    } else if (choice == 2) {
      if (!w->ApplyButton()->isEnabled()) return false;
      Log("最尤推定を適用 in the analysis window of " + name);
      QTest::mouseClick(w->ApplyButton(), Qt::LeftButton);
      ++cover_.analysisActions;
    } else {
      Log("close the analysis window of " + name);
      w->close();
    }
    return true;
  }

  // Another program takes the activation from a window of this one.
  bool Deactivate() {
    const std::vector<NamedForm> shown = ShownForms(false);
    if (shown.empty()) return false;
    const NamedForm f = rng_.Pick(shown);
    Log("activation lost by " + f.name);
    if (auto* r = dynamic_cast<TDispGraph2*>(f.form); r && r->Timer1.Running()) ++cover_.holdsCutOff;
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(f.form, &deactivate);
    for (QWidget* w : f.form->findChildren<QWidget*>()) {
      QEvent e(QEvent::WindowDeactivate);
      QApplication::sendEvent(w, &e);
    }
    return true;
  }

  // ---- checks -------------------------------------------------------------

  void Check() {
    CheckState();
    if (failed_) return;
    CheckWindows();
  }

  // Every run and every ROC window agrees with itself.
  void CheckState() {
    if (!errors_.boxes.empty()) {
      std::string all;
      for (const auto& [title, text] : errors_.boxes) all += "\n  [" + title + "] " + text;
      errors_.boxes.clear();
      Fail("error box shown:" + all);
      return;
    }

    for (std::size_t i = 0; i < exps_.size() && !failed_; ++i) {
      if (exps_[i]) CheckRun(exps_[i]->run(), "E" + std::to_string(i));
    }
    for (std::size_t i = 0; i < rocs_.size() && !failed_; ++i) {
      if (rocs_[i]) CheckTally(rocs_[i]->Analysis.ResponseTally, expectedTally_[i], "R" + std::to_string(i));
    }
  }

  // A run's patterns, counter and records agree with each other.
  void CheckRun(const experiment::Run& x, const std::string& window) {
    const struct {
      const experiment::Pattern& p;
      int brown;
      const char* name;
    } patterns[] = {{x.NoisePattern, experiment::Design::Standard().NoiseBrownCells, "noise"},
                    {x.SignalPattern, experiment::Design::Standard().SignalBrownCells, "signal"}};
    for (const auto& [p, brownCells, name] : patterns) {
      int brown = 0, green = 0;
      for (ui::Colour c : p) {
        brown += c == experiment::kBrown;
        green += c == experiment::kGreen;
      }
      if (brown != brownCells || green != experiment::kPatternCells - brownCells) {
        Fail(window + ": " + name + " pattern holds " + std::to_string(brown) + " brown, " + std::to_string(green) +
             " green, " + std::to_string(experiment::kPatternCells - brown - green) + " other cells");
        return;
      }
    }

    const int c = x.TrialCounter;
    if (c < -9 || c > experiment::Design::Standard().RecordedTrials) {
      Fail(window + ": TrialCounter is " + std::to_string(c));
      return;
    }
    for (int i = 1; i <= experiment::Design::Standard().RecordedTrials; ++i) {
      const experiment::TrialRecord& r = x.TrialResults[i];
      const std::string what = window + ": record " + std::to_string(i) + " {" + std::to_string(r.TrialNumber) +
                               ", " + std::to_string(r.Stimulus) + ", " + std::to_string(r.Response) + "}";
      if (r.Response < 0 || r.Response > 4 || r.Stimulus > 1) {
        Fail(what + " out of range");
        return;
      }
      const bool written = r.Response != 0;
      if (written && r.TrialNumber != i) {
        Fail(what + " carries the wrong trial number");
        return;
      }
      if (!written && (r.TrialNumber != 0 || r.Stimulus != 0)) {
        Fail(what + ": a record without a response is not empty");
        return;
      }
      // Records 1..c-1 are answered; the answer to the trial now shown goes to
      // record c (the last answer stays in record 50).
      const bool mustBeWritten = i < c;
      const bool mayBeWritten = i < c || (i == c && c == experiment::Design::Standard().RecordedTrials);
      if (written != mustBeWritten && !(written && mayBeWritten)) {
        Fail(what + " with TrialCounter " + std::to_string(c));
        return;
      }
    }
  }

  // A ROC window's tally is cumulative and holds its run's records of its last Disp.
  void CheckTally(const roc::TallyTable& t, const roc::TallyTable& expected, const std::string& window) {
    for (int s = 0; s < 2; ++s) {
      const auto& row = t.counts[s];
      if (!(row[1] >= row[2] && row[2] >= row[3] && row[3] >= row[4] && row[4] >= 0) || row[0] != 0) {
        Fail(window + ": tally row " + std::to_string(s) + " is not cumulative: " + TallyText(t));
        return;
      }
    }
    if (t.counts[0][1] + t.counts[1][1] > experiment::Design::Standard().RecordedTrials) {
      Fail(window + ": tally counts more than 50 records: " + TallyText(t));
      return;
    }
    if (std::memcmp(&t, &expected, sizeof t) != 0) {
      Fail(window + ": tally " + TallyText(t) + " differs from the records at the last Disp: " + TallyText(expected));
      return;
    }
  }

  struct RunState {
    int counter;
    experiment::TrialRecords records;
  };
  std::vector<RunState> RunStates() const {
    std::vector<RunState> states;
    for (const auto& f : exps_) states.push_back(f ? RunState{f->run().TrialCounter, f->run().TrialResults} : RunState{});
    return states;
  }

  // A trial is recorded, and the trial counter moves, only by a press on a
  // visible rating button of a rating screen, and in one run only.
  void CheckAnswerOrigin(const std::vector<RunState>& before) {
    int changed = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
      if (!exps_[i]) continue;
      const experiment::Run& run = exps_[i]->run();
      if (run.TrialCounter == before[i].counter && run.TrialResults == before[i].records) continue;
      ++changed;
      if (!answerAllowed_) {
        Fail("the trial counter of E" + std::to_string(i) + " went from " + std::to_string(before[i].counter) +
             " to " + std::to_string(run.TrialCounter) + " (or a record changed) without a rating press");
        return;
      }
    }
    if (changed > 1) Fail(std::to_string(changed) + " runs changed by one rating press");
  }

  // What the windows show agrees with the state.
  void CheckWindows() {
    if (!main_) {
      Fail("the main window was destroyed");
      return;
    }
    if (main_->FirstActivation != 1 || !main_->ExitButton.Visible() ||
        main_->DoExpButton.Visible() == main_->DataButton.Visible()) {
      Fail("main window shows Do Exp " + std::to_string(main_->DoExpButton.Visible()) + ", Disp. Data " +
           std::to_string(main_->DataButton.Visible()) + ", Exit " + std::to_string(main_->ExitButton.Visible()));
      return;
    }
    if (main_->FormDisp != (exps_.empty() ? nullptr : exps_.back().data()) ||
        main_->DispGraph2 != (rocs_.empty() ? nullptr : rocs_.back().data())) {
      Fail("the main window lost track of its newest window");
      return;
    }
    for (std::size_t i = 0; i < exps_.size(); ++i) {
      if (!exps_[i]) {
        Fail("experiment window E" + std::to_string(i) + " was destroyed");
        return;
      }
      const TFormDisp& f = *exps_[i];
      const bool go = f.GOButton.Visible(), exit = f.ExitButton.Visible(), timer = f.Timer1.Running();
      int ratings = 0;
      for (const ui::Button* b : f.RatingButtons()) ratings += b->Visible();
      const bool grid = f.Image1.Visible(), info = f.Image2.Visible(), text = f.Image3.Visible();
      const bool goScreen = go && exit && ratings == 0 && !timer && !grid && !info && text;
      const bool exposure = !go && !exit && ratings == 0 && timer && grid && !info && !text;
      const bool rating = !go && !exit && ratings == 4 && !timer && !grid && info && !text;
      const bool end = !go && exit && ratings == 0 && !timer && !grid && !info && text;
      if (!(goScreen || exposure || rating || end)) {
        Fail("experiment window E" + std::to_string(i) + " is in no screen: GO " + std::to_string(go) + ", Exit " +
             std::to_string(exit) + ", rating buttons " + std::to_string(ratings) + ", timer " +
             std::to_string(timer) + ", images " + std::to_string(grid) + std::to_string(info) +
             std::to_string(text));
        return;
      }
      if (end && f.run().TrialCounter != experiment::Design::Standard().RecordedTrials) {
        Fail("experiment window E" + std::to_string(i) + " shows the end screen at TrialCounter " +
             std::to_string(f.run().TrialCounter));
        return;
      }
      if (end && !endReached_[i]) {
        endReached_[i] = true;
        ++cover_.completedRuns;
      }
    }
    for (std::size_t i = 0; i < rocs_.size(); ++i) {
      if (!rocs_[i]) {
        Fail("ROC window R" + std::to_string(i) + " was destroyed");
        return;
      }
      // The auto-repeat runs only while a visible step button of a shown window is held.
      TDispGraph2& g = *rocs_[i];
      bool held = false;
      for (int k = 0; k < 10; ++k) held |= StepButton(g, k).isVisible() && StepButton(g, k).Held();
      if (const TAnalysisWindow* w = g.AnalysisWindow();
          w && (w->DevianceText().contains("nan", Qt::CaseInsensitive) ||
                w->DevianceText().contains("inf", Qt::CaseInsensitive))) {
        Fail("the analysis window of R" + std::to_string(i) + " shows G^2 " + w->DevianceText().toStdString());
        return;
      }
      if (g.Timer1.Running() && !(g.isVisible() && held)) {
        Fail("ROC window R" + std::to_string(i) + " repeats steps with no step button held" +
             (g.isVisible() ? "" : " while hidden"));
        return;
      }
    }
    // A complete run stays reachable: on its window's screen, or handed over.
    for (std::size_t i = 0; i < exps_.size(); ++i) {
      if (!exps_[i]->run().Over() || exps_[i]->isVisible()) continue;
      if (!main_->DataButton.Visible()) {
        Fail("the complete run of E" + std::to_string(i) +
             " is on no screen and the main window does not offer \"Disp. Data\"");
        return;
      }
      if (!handedOver_[i]) completeHandedOver_ = handedOver_[i] = true;
    }
  }

  // ---- reporting ----------------------------------------------------------

  void Log(std::string what) { log_[static_cast<std::size_t>(logged_++ % kLogLength)] = std::move(what); }

  void Fail(const std::string& what) {
    failed_ = true;
    std::string recent;
    const long first = logged_ > static_cast<long>(kLogLength) ? logged_ - static_cast<long>(kLogLength) : 0;
    for (long i = first; i < logged_; ++i)
      recent += "\n    " + log_[static_cast<std::size_t>(i % static_cast<long>(kLogLength))];
    const std::string where = phase_ == Phase::kAction ? "in action #" + std::to_string(done_) + " (counted from 0)"
                              : phase_ == Phase::kStart ? "at a program start after " + std::to_string(done_) + " actions"
                                                        : "at the program end after " + std::to_string(done_) + " actions";
    ADD_FAILURE() << what << "\n  seed " << seed_ << ", " << where << ", session " << cover_.sessions
                  << "\n  repeat with ROCRATING_STRESS_SEED=" << seed_
                  << " ROCRATING_STRESS_ACTIONS=" << done_ + (phase_ == Phase::kAction ? 1 : 0)
                  << "\n  last actions, oldest first:" << recent;
  }

  Random rng_;
  std::uint64_t seed_;
  long total_;
  long done_ = 0;
  bool failed_ = false;
  enum class Phase { kAction, kStart, kEnd } phase_ = Phase::kAction;
  ErrorBoxRecorder errors_;
  std::array<int, kKinds> weights_{};

  QPointer<TForm1> main_;
  std::vector<QPointer<TFormDisp>> exps_;
  std::vector<QPointer<TDispGraph2>> rocs_;
  std::vector<QPointer<ui::Form>> children_;  // the main window's windows, in order of creation
  std::vector<int> exitOdds_;  // per experiment window: Exit is clicked in 1 of this many GO screens
  std::vector<bool> endReached_;
  std::vector<bool> handedOver_;    // per experiment window: its complete run was handed over
  bool completeHandedOver_ = false;  // and no ROC window was opened since
  bool answerAllowed_ = false;  // the action pressed a visible rating button of a rating screen
  std::vector<roc::TallyTable> expectedTally_;  // per ROC window: of its run's records at its last Disp

  std::array<std::string, kLogLength> log_;
  long logged_ = 0;
  Coverage cover_;
};

TEST(StressTest, RandomJourneysKeepTheStateConsistent) {
  const std::uint64_t seed = EnvNumber("ROCRATING_STRESS_SEED").value_or(kDefaultSeed);
  const long actions = static_cast<long>(EnvNumber("ROCRATING_STRESS_ACTIONS").value_or(kDefaultActions));
  SCOPED_TRACE("seed " + std::to_string(seed));
  StressRun run(seed, actions);
  run.Run();
  if (run.Failed() || EnvNumber("ROCRATING_STRESS_SEED") || EnvNumber("ROCRATING_STRESS_ACTIONS")) return;
  // The journeys must reach the deep states, or they test little.
  EXPECT_GT(run.Cover().completedRuns, 0);
  EXPECT_GT(run.Cover().dispWithAllRecords, 0);
  EXPECT_GT(run.Cover().closes, 0);
  EXPECT_GT(run.Cover().keys, 0);
  EXPECT_GT(run.Cover().holdsCutOff, 0);
  EXPECT_GT(run.Cover().finishedRunsClosed, 0);
  EXPECT_GT(run.Cover().analysisActions, 0);
}

class MoreSeeds : public ::testing::TestWithParam<std::uint64_t> {};

TEST_P(MoreSeeds, RandomJourneysKeepTheStateConsistent) {
  if (EnvNumber("ROCRATING_STRESS_SEED")) GTEST_SKIP() << "a single seed was asked for";
  SCOPED_TRACE("seed " + std::to_string(GetParam()));
  StressRun run(GetParam(), kMoreSeedActions);
  run.Run();
}

INSTANTIATE_TEST_SUITE_P(StressTest, MoreSeeds, ::testing::ValuesIn(kMoreSeeds),
                         [](const ::testing::TestParamInfo<std::uint64_t>& info) {
                           return "seed" + std::to_string(info.param);
                         });

}  // namespace
