#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QTest>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/qt/Button.h"
#include "ui/qt/Edit.h"
#include "ui/qt/Form.h"
#include "ui/qt/Image.h"
#include "ui/qt/Label.h"
#include "ui/qt/Panel.h"
#include "ui/qt/Timer.h"

namespace {

class Window : public ui::Form {
 public:
  explicit Window(ui::Form* owner) : ui::Form(owner) {}
};

struct Shown {
  std::unique_ptr<Window> form{ui::Form::Create<Window>(nullptr)};
  Shown() {
    form->SetClientWidth(400);
    form->SetClientHeight(300);
    form->SetVisible(true);
  }
};

QRgb ScreenPixel(QWidget* w, int x, int y) { return w->grab().toImage().pixel(x, y) & 0xFFFFFF; }

class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

TEST(Button, PressAndReleaseOfAnyMouseButtonButNeverTheSpaceKey) {
  Shown w;
  ui::Button b(w.form.get(), "大", 10, 10, 52, 25);
  b.show();
  int downs = 0, ups = 0, clicks = 0;
  b.OnMouseDown = [&] { ++downs; };
  b.OnMouseUp = [&] { ++ups; };
  b.OnClick = [&] { ++clicks; };
  for (Qt::MouseButton mb : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
    QTest::mousePress(&b, mb);
    QTest::mouseRelease(&b, mb);
  }
  EXPECT_EQ(downs, 3);
  EXPECT_EQ(ups, 3);
  EXPECT_EQ(clicks, 1);  // only the left button clicks
  // The second press of a double click is one press, whether it comes as a
  // press with a double-click event or as the double-click event alone.
  QTest::mouseClick(&b, Qt::LeftButton);
  QTest::mousePress(&b, Qt::LeftButton);
  QTest::mouseDClick(&b, Qt::LeftButton);
  QTest::mouseRelease(&b, Qt::LeftButton);
  EXPECT_EQ(downs, 5);
  QTest::mouseDClick(&b, Qt::LeftButton);
  QTest::mouseRelease(&b, Qt::LeftButton);
  EXPECT_EQ(downs, 6);
  b.setFocus();
  QTest::keyClick(&b, Qt::Key_Space);
  EXPECT_EQ(downs, 6);
  EXPECT_EQ(ups, 6);
}

// Buttons shown one at a time, the clicked one hidden by its own handler,
// as the experiment window's screens do.
TEST(Button, AHiddenButtonGivesUpTheFocusAndNoKeyClicksIt) {
  Shown w;
  ui::Button a(w.form.get(), "A", 10, 10, 75, 25);
  ui::Button b(w.form.get(), "B", 10, 40, 75, 25);
  int aClicks = 0, bClicks = 0;
  a.OnClick = [&] {
    ++aClicks;
    a.SetVisible(false);
    b.SetVisible(true);
  };
  b.OnClick = [&] { ++bClicks; };
  a.SetVisible(true);
  a.setFocus();
  QTest::keyClick(&a, Qt::Key_Space);  // a visible focused button: Space presses it
  EXPECT_EQ(aClicks, 1);
  EXPECT_EQ(w.form->focusWidget(), w.form.get());  // not the hidden button
  EXPECT_TRUE(w.form->testAttribute(Qt::WA_KeyboardFocusChange));  // the focus mark shows
  for (int i = 0; i < 3; ++i) QTest::keyClick(w.form->focusWidget(), Qt::Key_Space);
  QTest::keyClick(&a, Qt::Key_Space);  // even sent straight to it
  a.click();                           // or by an accessibility action
  EXPECT_EQ(aClicks, 1);
  EXPECT_EQ(bClicks, 0);
  b.setEnabled(false);
  b.click();
  EXPECT_EQ(bClicks, 0);
}

TEST(Button, AHoldEndsWhenTheButtonOrItsWindowGoesOrTheWindowLosesActivation) {
  Shown w;
  ui::Button b(w.form.get(), "大", 10, 10, 52, 25);
  b.SetVisible(true);
  int downs = 0, ups = 0;
  b.OnMouseDown = [&] { ++downs; };
  b.OnMouseUp = [&] { ++ups; };
  const std::function<void()> ends[] = {
      [&] { b.SetVisible(false); },
      [&] { w.form->SetVisible(false); },
      [&] {
        QEvent deactivate(QEvent::WindowDeactivate);
        QApplication::sendEvent(&b, &deactivate);
      },
      [&] {
        QEvent ungrab(QEvent::UngrabMouse);
        QApplication::sendEvent(&b, &ungrab);
      }};
  for (const auto& end : ends) {
    w.form->SetVisible(true);
    b.SetVisible(true);
    QTest::mousePress(&b, Qt::RightButton);
    ASSERT_TRUE(b.Held());
    const int before = ups;
    end();
    EXPECT_FALSE(b.Held());
    EXPECT_EQ(ups, before + 1);
  }
  EXPECT_EQ(downs, 4);
}

TEST(Label, SizesItselfToItsCaptionWithTheLeftEdgeFixed) {
  Shown w;
  ui::Label label(w.form.get(), "MsgLabel", 80, 48);
  const int narrow = label.Width();
  label.SetCaption("「Do Exp」ボタンを押して下さい");
  EXPECT_EQ(label.Left(), 80);
  EXPECT_GT(label.Width(), narrow);
  EXPECT_EQ(label.Caption(), "「Do Exp」ボタンを押して下さい");
}

TEST(Edit, TheUserTypesAndTheProgramOverwrites) {
  Shown w;
  ui::Edit edit(w.form.get(), "DEdit", 10, 10, 105, 24);
  edit.show();
  edit.setFocus();
  edit.selectAll();
  QTest::keyClicks(&edit, "abc");
  EXPECT_EQ(edit.Text(), "abc");
  edit.SetText("   d = 1");
  EXPECT_EQ(edit.Text(), "   d = 1");
}

// A written text wider than the box shows its beginning (the parameter's
// name), not its end.
TEST(Edit, AWrittenTextTooWideForTheBoxShowsItsBeginning) {
  Shown w;
  ui::Edit edit(w.form.get(), "", 10, 10, 105, 24);
  edit.show();
  edit.SetText("  c1 = -0.3");
  const QImage fits = edit.grab().toImage();
  edit.SetText("  c1 = -0.36406123456789");
  const QImage tooWide = edit.grab().toImage();
  EXPECT_EQ(fits.copy(0, 0, 50, 24), tooWide.copy(0, 0, 50, 24));
}

TEST(Image, TheSurfaceTakesTheSizeAtFirstUseAndKeepsIt) {
  Shown w;
  ui::Image image(w.form.get(), 0, 0, 105, 105);
  ui::Surface& s = image.Canvas();
  image.SetWidth(200);
  image.SetHeight(200);
  EXPECT_EQ(&image.Canvas(), &s);
  EXPECT_EQ(s.Width(), 105);
  EXPECT_EQ(s.Height(), 105);
  EXPECT_EQ(s.Pixel(0, 0), ui::Colour::FromBgr(0xFFFFFFu));
}

TEST(Image, ALaterImageCoversAnEarlierOneAndControlsLieAbove) {
  Shown w;
  ui::Panel panel(w.form.get(), "Panel1", 0, 0, 200, 200);
  ui::Button button(&panel, "GO", 150, 10, 40, 25);
  ui::Image first(&panel, 0, 0, 200, 200);
  ui::Image second(&panel, 0, 0, 200, 200);
  panel.show();
  first.Canvas().SetPixel(5, 5, ui::clRed);
  second.Canvas().SetPixel(5, 5, ui::clBlue);
  EXPECT_EQ(ScreenPixel(&panel, 5, 5), 0x0000FFu);  // blue, in Qt's 0xRRGGBB
  second.SetVisible(false);
  second.Canvas().SetPixel(6, 6, ui::clGreen);  // a hidden image accepts drawing
  EXPECT_EQ(ScreenPixel(&panel, 5, 5), 0xFF0000u);  // red shows through
  second.SetVisible(true);
  EXPECT_EQ(ScreenPixel(&panel, 6, 6), 0x008000u);
  EXPECT_EQ(panel.childAt(160, 20), &button);
}

TEST(Image, RepaintsOnceAfterTheHandlerNotPerOperation) {
  Shown w;
  ui::Image image(w.form.get(), 0, 0, 100, 100);
  image.show();
  PaintCounter counter;
  image.installEventFilter(&counter);
  QApplication::processEvents();
  const int before = counter.paints;
  for (int i = 0; i < 50; ++i) image.Canvas().Rectangle(i, i, i + 10, i + 10);
  EXPECT_EQ(counter.paints, before);  // nothing reaches the screen inside the handler
  QApplication::processEvents();
  EXPECT_EQ(counter.paints, before + 1);
  EXPECT_EQ(ScreenPixel(&image, 49, 49), 0u);
}

TEST(Timer, RestartsOnlyWhenAValueChanges) {
  ui::Timer timer;
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(timer.Interval(), 1000);
  EXPECT_FALSE(timer.Running());  // no handler: never fires
  int ticks = 0;
  timer.SetOnTimer([&] { ++ticks; });
  EXPECT_TRUE(timer.Running());
  timer.SetInterval(400);
  QTest::qWait(120);
  const int left = timer.RemainingTime();
  EXPECT_LE(left, 300);
  timer.SetEnabled(true);  // the current values again: the period runs on
  timer.SetInterval(400);
  EXPECT_LE(timer.RemainingTime(), left);
  timer.SetInterval(0);
  EXPECT_FALSE(timer.Running());
  timer.SetInterval(30);
  timer.SetEnabled(false);
  EXPECT_FALSE(timer.Running());
  timer.SetEnabled(true);
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 5000));
}

TEST(Timer, AHandlerThatDisablesItFiresOnce) {
  ui::Timer timer;
  timer.SetEnabled(false);
  timer.SetInterval(10);
  int ticks = 0;
  timer.SetOnTimer([&] {
    timer.SetEnabled(false);
    ++ticks;
  });
  timer.SetEnabled(true);
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks == 1; }, 5000));
  QTest::qWait(50);
  EXPECT_EQ(ticks, 1);
}

// The exposure's timer: the timing thread's action, then the handler, once;
// disabled before the handler runs, no handler comes, whenever the action ran.
TEST(Timer, ATimedStartBringsOneEventAfterItsActionUnlessDisabledFirst) {
  ui::Timer timer;
  timer.SetEnabled(false);
  std::vector<std::string> events;
  std::atomic<bool> acted{false};
  timer.SetOnTimer([&] {
    events.push_back("handler");
    timer.SetEnabled(false);
  });
  const auto start = [&] {
    timer.StartTimed({.begin = [] { return std::chrono::steady_clock::now(); },
                      .length = std::chrono::milliseconds(5),
                      .atDue = [&] { acted = true; },
                      .then = [&] { events.push_back(acted ? "after the action" : "before the action"); }});
  };
  start();
  EXPECT_TRUE(timer.Running());
  EXPECT_TRUE(QTest::qWaitFor([&] { return events.size() == 2; }, 5000));
  EXPECT_EQ(events, (std::vector<std::string>{"after the action", "handler"}));
  EXPECT_FALSE(timer.Running());

  events.clear();
  acted = false;
  start();
  timer.SetEnabled(false);
  EXPECT_FALSE(timer.Running());
  QTest::qWait(100);
  EXPECT_TRUE(events.empty());
}

}  // namespace
