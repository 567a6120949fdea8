#include "app/application_setup.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTranslator>

#include "app/main_window.h"
#include "app_test_support.h"

namespace gw::app {
namespace {

using testing::FakeDialogs;
using testing::TempFolder;
using testing::WriteBytes;

// The test main sets the application up as the program's main() does.
TEST(ApplicationSetup, WindowTitlesReachTheDesktopWithoutAnAddedProgramName) {
  // Qt adds " — <display name>" to the title of every window and message box as soon as a display
  // name of its own is set; without one the display name is the application name and nothing is
  // added.
  EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
  EXPECT_EQ(QCoreApplication::applicationName(), "Gathwrite");
  EXPECT_EQ(QGuiApplication::desktopFileName(), "gathwrite");

  TempFolder folder;
  SettingsStore store;
  ASSERT_TRUE(store.setPath(folder / "s.ini", 0));
  FakeDialogs dialogs;
  MainWindow window(store, dialogs);
  EXPECT_EQ(window.windowTitle(),
            "Pelorin·Gathwrite v1.6.0.3 - 导出QQ群聊天消息文件自动组合生成文章");
}

TEST(ApplicationSetup, AMissingOrDamagedCatalogueLeavesQtsTextsAsTheyAre) {
  const auto translators = [] { return qApp->findChildren<QTranslator*>().size(); };
  const auto before = translators();
  TempFolder folder;
  EXPECT_FALSE(InstallChineseQtTexts(*qApp, testing::PathText(folder.path())));
  WriteBytes(folder / "qtbase_zh_CN.qm", "not a catalogue");
  EXPECT_FALSE(InstallChineseQtTexts(*qApp, testing::PathText(folder.path())));
  EXPECT_EQ(translators(), before);
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&No"), "否(&N)");
}

}  // namespace
}  // namespace gw::app
