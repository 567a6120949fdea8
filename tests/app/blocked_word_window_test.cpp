#include "app/blocked_word_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "app/main_window.h"
#include "app_test_support.h"
#include "engine/option_settings.h"

namespace gw::app {
namespace {

using testing::FakeDialogs;
using testing::Find;
using testing::G;
using testing::PathText;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WaitUntil;
using testing::WriteBytes;

class BlockedWordWindowTest : public ::testing::Test {
 protected:
  std::filesystem::path settingsFile() const { return folder_ / "s.ini"; }

  // The window as the main window's button opens it, with the settings file as it stands.
  BlockedWordWindow& open() {
    window_.reset();
    store_.reset();
    store_ = std::make_unique<SettingsStore>();
    store_->setPath(settingsFile(), 0);
    window_ = std::make_unique<BlockedWordWindow>(*store_, dialogs_);
    window_->show();
    return *window_;
  }
  template <class Control>
  Control& control(const char* name) {
    return Find<Control>(*window_, name);
  }
  // Runs the batch over `files` and waits for its summary.
  void runBatch(const QStringList& files) {
    bool finished = false;
    QObject::connect(window_.get(), &BlockedWordWindow::batchFinished, [&] { finished = true; });
    dialogs_.fileAnswers.push_back(files);
    control<QPushButton>("按钮选择文件").click();
    ASSERT_TRUE(WaitUntil([&] { return finished; }));
  }

  TempFolder folder_;
  FakeDialogs dialogs_;
  std::unique_ptr<SettingsStore> store_;
  std::unique_ptr<BlockedWordWindow> window_;
};

TEST_F(BlockedWordWindowTest, AtFirstOpeningTheFormDefaultsShowAndNothingIsWritten) {
  BlockedWordWindow& window = open();
  EXPECT_EQ(window.windowTitle(), "屏蔽词设置");
  EXPECT_EQ(control<QLineEdit>("编辑框词库").text(),
            QApplication::applicationDirPath() + "/屏蔽词库.txt");
  EXPECT_EQ(control<QPlainTextEdit>("编辑框分隔符").toPlainText(), "|");
  EXPECT_TRUE(control<QRadioButton>("单选框自己输入").isChecked());
  EXPECT_FALSE(control<QRadioButton>("单选框换行符").isChecked());
  EXPECT_EQ(control<QLineEdit>("编辑框代替字符").text(), "**");
  EXPECT_EQ(control<QComboBox>("组合框编码").currentText(), "自动识别");
  EXPECT_EQ(control<QComboBox>("组合框编码").count(), 5);
  EXPECT_EQ(ReadBytes(settingsFile()), "");
}

TEST_F(BlockedWordWindowTest, StoredSettingsAreShownAndAnEmptyLibraryShowsTheDefaultPath) {
  WriteBytes(settingsFile(),
             G("[屏蔽词过滤器]\r\n分隔符=、\r\n单选框换行符=真\r\n单选框自己输入=假\r\n"
               "代替符=##\r\n编码=2\r\n词库=/data/词.txt"));
  open();
  EXPECT_EQ(control<QLineEdit>("编辑框词库").text(), "/data/词.txt");
  EXPECT_EQ(control<QPlainTextEdit>("编辑框分隔符").toPlainText(), "、");
  EXPECT_TRUE(control<QRadioButton>("单选框换行符").isChecked());
  EXPECT_FALSE(control<QRadioButton>("单选框自己输入").isChecked());
  EXPECT_EQ(control<QLineEdit>("编辑框代替字符").text(), "##");
  EXPECT_EQ(control<QComboBox>("组合框编码").currentText(), "UTF-8");

  // An empty stored library reads as the default path, which is not written back by opening.
  const std::string emptyLibrary = G("[屏蔽词过滤器]\r\n词库=\r\n编码=9");
  WriteBytes(settingsFile(), emptyLibrary);
  open();
  EXPECT_EQ(control<QLineEdit>("编辑框词库").text(),
            QApplication::applicationDirPath() + "/屏蔽词库.txt");
  EXPECT_EQ(control<QComboBox>("组合框编码").currentIndex(), 0);  // 9 names no item
  window_.reset();
  EXPECT_EQ(ReadBytes(settingsFile()), emptyLibrary);
}

TEST_F(BlockedWordWindowTest, CancelClosesWithoutTouchingTheSection) {
  const std::string stored = G("[屏蔽词过滤器]\r\n代替符=##\r\n词库=/data/词.txt");
  WriteBytes(settingsFile(), stored);
  BlockedWordWindow& window = open();
  control<QLineEdit>("编辑框代替字符").setText("@@");
  control<QRadioButton>("单选框换行符").setChecked(true);
  control<QPushButton>("按钮取消").click();
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(ReadBytes(settingsFile()), stored);

  // The close box saves nothing either.
  BlockedWordWindow& again = open();
  control<QLineEdit>("编辑框代替字符").setText("@@");
  again.close();
  EXPECT_FALSE(again.isVisible());
  EXPECT_EQ(ReadBytes(settingsFile()), stored);
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(BlockedWordWindowTest, SaveWritesTheSectionTheFilterThenReads) {
  BlockedWordWindow& window = open();
  control<QLineEdit>("编辑框词库").setText("/data/屏蔽.txt");
  control<QRadioButton>("单选框换行符").setChecked(true);
  control<QLineEdit>("编辑框代替字符").setText("[屏蔽]");
  control<QComboBox>("组合框编码").setCurrentIndex(3);
  control<QPushButton>("按钮保存").click();
  EXPECT_FALSE(window.isVisible());
  EXPECT_TRUE(dialogs_.shown.empty());

  const BlockedWordSettings read = ReadBlockedWordSettings(*store_);
  EXPECT_TRUE(read.separatedByLineBreaks);
  EXPECT_EQ(read.libraryPath, "/data/屏蔽.txt");
  EXPECT_EQ(read.replacement, G("[屏蔽]"));
  const std::string file = ReadBytes(settingsFile());
  EXPECT_NE(file.find(G("编码=3")), std::string::npos);
  EXPECT_NE(file.find(G("单选框自己输入=假")), std::string::npos);

  // Back to a typed separator: the filter no longer splits at line breaks.
  open();
  EXPECT_TRUE(control<QRadioButton>("单选框换行符").isChecked());
  control<QRadioButton>("单选框自己输入").setChecked(true);
  control<QPlainTextEdit>("编辑框分隔符").setPlainText("、");
  control<QPushButton>("按钮保存").click();
  const BlockedWordSettings again = ReadBlockedWordSettings(*store_);
  EXPECT_FALSE(again.separatedByLineBreaks);
  EXPECT_EQ(again.separator, G("、"));
  EXPECT_EQ(again.libraryPath, "/data/屏蔽.txt");
}

TEST_F(BlockedWordWindowTest, SavingIntoAFileAnotherCopyHoldsSaysSoAndKeepsTheWindowOpen) {
  SettingsStore otherCopy;
  ASSERT_TRUE(otherCopy.setPath(settingsFile(), 0));
  BlockedWordWindow& window = open();
  ASSERT_TRUE(store_->isReadOnly());
  control<QLineEdit>("编辑框代替字符").setText("@@");
  control<QPushButton>("按钮保存").click();
  EXPECT_TRUE(window.isVisible());
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].title, "信息：");
  EXPECT_TRUE(dialogs_.shown[0].text.contains("未能保存"));
  EXPECT_EQ(ReadBytes(settingsFile()), "");
}

TEST_F(BlockedWordWindowTest, TheLibraryDialogIsPresetOnlyTheFirstTime) {
  open();
  QLineEdit& library = control<QLineEdit>("编辑框词库");
  library.setText("/data/旧.txt");
  dialogs_.fileAnswers.push_back({"/data/新.txt"});
  control<QPushButton>("按钮选择").click();
  ASSERT_EQ(dialogs_.of("files").size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].title, "选择词库文件（必须是编码为ANSI的文本格式）：");
  EXPECT_EQ(dialogs_.shown[0].text, "/data/旧.txt");
  EXPECT_EQ(dialogs_.lastFilter, "txt文件 (*.txt);;全部文件 (*)");
  EXPECT_FALSE(dialogs_.lastMultiple);
  EXPECT_EQ(library.text(), "/data/新.txt");

  // The box is edited, the dialog keeps the file chosen before; cancelling changes nothing.
  library.setText("/data/手输.txt");
  control<QPushButton>("按钮选择").click();
  EXPECT_EQ(dialogs_.of("files").at(1).text, "/data/新.txt");
  EXPECT_EQ(library.text(), "/data/手输.txt");

  // An empty box presets the library's name in the program folder, without an extension.
  open();
  control<QLineEdit>("编辑框词库").clear();
  control<QPushButton>("按钮选择").click();
  EXPECT_EQ(dialogs_.of("files").at(2).text, QApplication::applicationDirPath() + "/屏蔽词库");
  EXPECT_EQ(control<QLineEdit>("编辑框词库").text(), "");
}

TEST_F(BlockedWordWindowTest, TheBatchWritesFilteredCopiesWithTheUnsavedSettings) {
  WriteBytes(folder_ / "lib.txt", G("甲\r\n乙\r\n."));
  WriteBytes(folder_ / "a.txt", G("甲乙丙。"));
  WriteBytes(folder_ / "b", G("乙.丁x"));
  BlockedWordWindow& window = open();
  control<QLineEdit>("编辑框词库").setText(PathText(folder_ / "lib.txt"));
  control<QRadioButton>("单选框换行符").setChecked(true);

  runBatch({PathText(folder_ / "a.txt"), PathText(folder_ / "b")});
  const auto files = dialogs_.of("files");
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].title, "选择多个文件进行屏蔽词删除（请自行备份好原文件）：");
  EXPECT_EQ(dialogs_.lastFilter, "txt文件 (*.txt);;全部文件 (*)");
  EXPECT_TRUE(dialogs_.lastMultiple);

  // Each word becomes the whole replacement; "." matches only itself.
  EXPECT_EQ(ReadBytes(folder_ / "a_已过滤.txt"), G("****丙。"));
  EXPECT_EQ(ReadBytes(folder_ / "b_已过滤."), G("****丁x"));
  EXPECT_EQ(ReadBytes(folder_ / "a.txt"), G("甲乙丙。"));
  EXPECT_EQ(window.windowTitle(), "屏蔽词替换器");
  const auto boxes = dialogs_.of("information");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, "信息：");
  EXPECT_EQ(boxes[0].text, "处理完毕！总共处理了 2 个文件！");
  EXPECT_TRUE(control<QPushButton>("按钮选择文件").isEnabled());
  // The settings were used as they stand, not stored.
  EXPECT_EQ(ReadBytes(settingsFile()), "");
}

TEST_F(BlockedWordWindowTest, FilesThatCouldNotBeProcessedAreListedAfterTheCount) {
  WriteBytes(folder_ / "lib.txt", G("坏|词"));
  WriteBytes(folder_ / "a.txt", G("坏人"));
  open();
  control<QLineEdit>("编辑框词库").setText(PathText(folder_ / "lib.txt"));
  control<QLineEdit>("编辑框代替字符").setText("");
  runBatch({PathText(folder_ / "gone.txt"), PathText(folder_ / "a.txt")});
  EXPECT_EQ(ReadBytes(folder_ / "a_已过滤.txt"), G("人"));
  const auto boxes = dialogs_.of("information");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(boxes[0].text.startsWith("处理完毕！总共处理了 2 个文件！\n"));
  EXPECT_TRUE(boxes[0].text.contains("gone.txt"));
  EXPECT_FALSE(boxes[0].text.contains("a.txt"));
}

TEST_F(BlockedWordWindowTest, ACancelledDialogOrAMissingLibraryChangesNoFile) {
  WriteBytes(folder_ / "a.txt", G("甲"));
  BlockedWordWindow& window = open();
  control<QPushButton>("按钮选择文件").click();  // the dialog is cancelled
  EXPECT_EQ(window.windowTitle(), "屏蔽词设置");
  EXPECT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_FALSE(window.batchRunning());

  control<QLineEdit>("编辑框词库").setText(PathText(folder_ / "none.txt"));
  runBatch({PathText(folder_ / "a.txt")});
  EXPECT_EQ(window.windowTitle(), "屏蔽词设置");
  const auto boxes = dialogs_.of("information");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(boxes[0].text.contains("none.txt"));
  EXPECT_FALSE(std::filesystem::exists(folder_ / "a_已过滤.txt"));
}

TEST_F(BlockedWordWindowTest, ClosingDuringABatchEndsItWithoutASummary) {
  WriteBytes(folder_ / "lib.txt", G("甲"));
  QStringList files;
  for (int i = 0; i < 40; ++i) {
    const std::string name = "f" + std::to_string(i) + ".txt";
    WriteBytes(folder_ / name, std::string(200000, 'x') + G("甲"));
    files.push_back(PathText(folder_ / name));
  }
  BlockedWordWindow& window = open();
  control<QLineEdit>("编辑框词库").setText(PathText(folder_ / "lib.txt"));
  dialogs_.fileAnswers.push_back(files);
  control<QPushButton>("按钮选择文件").click();
  EXPECT_TRUE(window.batchRunning());
  EXPECT_FALSE(control<QPushButton>("按钮选择文件").isEnabled());
  window.close();
  EXPECT_FALSE(window.batchRunning());
  QCoreApplication::processEvents();
  EXPECT_TRUE(dialogs_.of("information").empty());
  // The output of the file in hand is complete; the rest were never started.
  EXPECT_FALSE(std::filesystem::exists(folder_ / "f39_已过滤.txt"));
}

TEST_F(BlockedWordWindowTest, TheWindowKeepsAnsweringWhileABigFileIsFiltered) {
  WriteBytes(folder_ / "lib.txt", G("甲|乙|坏人"));
  const std::string line = G("这是一个普通的句子，甲和乙都在这里，还有坏人。\r\n");
  std::string big;
  while (big.size() < 24u * 1024 * 1024) {
    big += line;
  }
  WriteBytes(folder_ / "big.txt", big);
  open();
  control<QLineEdit>("编辑框词库").setText(PathText(folder_ / "lib.txt"));
  // A timer of the window's thread keeps firing while the file is filtered.
  // Its title names the file in hand meanwhile.
  int ticks = 0;
  QString titleWhileRunning;
  QTimer timer;
  timer.setInterval(5);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (window_->batchRunning()) {
      ++ticks;
      titleWhileRunning = window_->windowTitle();
    }
  });
  timer.start();
  runBatch({PathText(folder_ / "big.txt")});
  EXPECT_GE(ticks, 3);
  EXPECT_EQ(titleWhileRunning, "正在处理..big");
  EXPECT_EQ(window_->windowTitle(), "屏蔽词替换器");
  EXPECT_EQ(ReadBytes(folder_ / "big_已过滤.txt").size(),
            big.size() / line.size() * (line.size() - 2));  // "坏人" becomes "**"
}

// The main window's "设置词库" button opens one settings window at a time, owned by the main
// window, and a fresh one after it was closed.
TEST(BlockedWordWindowWiring, TheMainWindowOpensOneWindowAtATime) {
  TempFolder folder;
  SettingsStore store;
  store.setPath(folder / "s.ini", 0);
  FakeDialogs dialogs;
  MainWindow main(store, dialogs);
  main.show();
  ASSERT_TRUE(WaitUntil([&] { return !main.runController().busy(); }));
  Find<QCheckBox>(main, "选择框过滤屏蔽词").setChecked(true);
  QPushButton& button = Find<QPushButton>(main, "按钮屏蔽词设置");
  button.click();
  button.click();
  auto windows = main.findChildren<BlockedWordWindow*>();
  ASSERT_EQ(windows.size(), 1);
  EXPECT_TRUE(windows[0]->isVisible());
  EXPECT_TRUE(windows[0]->isWindow());

  Find<QLineEdit>(*windows[0], "编辑框代替字符").setText("@@");
  Find<QPushButton>(*windows[0], "按钮保存").click();
  ASSERT_TRUE(WaitUntil([&] { return main.findChildren<BlockedWordWindow*>().isEmpty(); }));
  button.click();
  windows = main.findChildren<BlockedWordWindow*>();
  ASSERT_EQ(windows.size(), 1);
  EXPECT_EQ(Find<QLineEdit>(*windows[0], "编辑框代替字符").text(), "@@");
}

}  // namespace
}  // namespace gw::app
