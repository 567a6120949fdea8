// Entry point of the window tests: one QApplication for all of them, without a display unless
// the environment names a platform.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/application_setup.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  ::testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  // The program's own names and Qt's Chinese texts, as the program sets them up.
  gw::app::SetUpApplication(application);
  return RUN_ALL_TESTS();
}
