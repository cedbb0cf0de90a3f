#include <gtest/gtest.h>

#include <QByteArray>
#include <QtGlobal>

#include "ui/qt/Application.h"

// Window tests run on Qt's head-less platform with the real controls.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  ui::Application::Initialize(argc, argv);
  return RUN_ALL_TESTS();
}
