// Files dropped on the main window: on the window they start a run, on the source-message box
// one of them replaces the box's text.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <memory>

#include "app/control_access.h"
#include "app/main_window.h"
#include "app_test_support.h"

namespace gw::app {
namespace {

using testing::ChatText;
using testing::FakeDialogs;
using testing::Find;
using testing::G;
using testing::PathText;
using testing::TempFolder;
using testing::WaitUntil;
using testing::WriteBytes;

const QString kIdle = QString::fromUtf16(kIdleCaption);
const QString kRunning = QString::fromUtf16(kRunningCaption);

std::unique_ptr<QMimeData> FileDrag(const QStringList& files) {
  auto data = std::make_unique<QMimeData>();
  QList<QUrl> urls;
  for (const QString& file : files) {
    urls.append(QUrl::fromLocalFile(file));
  }
  data->setUrls(urls);
  return data;
}

// Whether `target` takes a drag of `data` as it enters.
bool DragEnterTaken(QWidget& target, const QMimeData& data) {
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  enter.setAccepted(false);
  QApplication::sendEvent(&target, &enter);
  return enter.isAccepted();
}

// Drags `data` onto `target` and drops it there; whether the drop was taken.
bool Drop(QWidget& target, const QMimeData& data) {
  if (!DragEnterTaken(target, data)) {
    return false;
  }
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  drop.setAccepted(false);
  QApplication::sendEvent(&target, &drop);
  return drop.isAccepted();
}

class MainWindowDropTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(store_.setPath(folder_ / "settings.ini", 0));
    std::filesystem::create_directories(folder_ / "chats");
    window_ = std::make_unique<MainWindow>(store_, dialogs_);
    window_->runController().setSeed(5);
    QObject::connect(&window_->runController(), &RunController::statusChanged,
                     [this](const QString& text) { statuses_.push_back(text); });
    window_->show();
    ASSERT_TRUE(WaitUntil([&] { return !window_->runController().busy(); }));
    statuses_.clear();
  }

  QString chatFile(const char* name, int messages) {
    const auto path = folder_ / "chats" / name;
    WriteBytes(path, G(ChatText(messages)));
    return PathText(path);
  }
  QPushButton& startButton() { return Find<QPushButton>(*window_, "按钮选择文件"); }
  QPlainTextEdit& sourceBox() { return Find<QPlainTextEdit>(*window_, "编辑框源消息"); }
  bool idle() { return startButton().text() == kIdle && !window_->runController().busy(); }
  std::vector<QString> analysed() const {
    std::vector<QString> found;
    for (const QString& text : statuses_) {
      if (text.startsWith("正在分析格式..")) {
        found.push_back(text);
      }
    }
    return found;
  }

  TempFolder folder_;
  FakeDialogs dialogs_;
  SettingsStore store_;
  std::unique_ptr<MainWindow> window_;
  std::vector<QString> statuses_;
};

TEST_F(MainWindowDropTest, FilesDroppedOnTheWindowAreARunOverThemInTheirOrder) {
  const QStringList files = {chatFile("乙.txt", 30), chatFile("甲.txt", 30)};
  const auto data = FileDrag(files);
  ASSERT_TRUE(Drop(*window_, *data));
  EXPECT_EQ(startButton().text(), kRunning);
  ASSERT_TRUE(WaitUntil([&] { return idle(); }));
  EXPECT_TRUE(dialogs_.of("files").empty());  // no dialog: the drop chose the files
  const std::vector<QString> expected = {"正在分析格式..(2:1) 乙", "正在分析格式..(2:2) 甲"};
  EXPECT_EQ(analysed(), expected);
  ASSERT_EQ(dialogs_.of("information").size(), 1u);
  EXPECT_TRUE(dialogs_.of("information")[0].text.startsWith("处理完成，共处理 2 个文件，生成 "));
  EXPECT_TRUE(std::filesystem::is_directory(folder_ / "chats" / "乙"));
  // The first file is remembered for the next file dialog, as after choosing it there.
  EXPECT_EQ(ControlTag(startButton()), files[0]);
}

TEST_F(MainWindowDropTest, ADropIsRefusedWhileAJobIsUnderWayAndWhatIsNoFile) {
  const QString longFile = chatFile("长.txt", 60000);
  dialogs_.fileAnswers.push_back({longFile});
  startButton().click();
  ASSERT_TRUE(window_->runController().busy());
  const auto other = FileDrag({chatFile("另.txt", 10)});
  EXPECT_FALSE(DragEnterTaken(*window_, *other));
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, other.get(), Qt::LeftButton, Qt::NoModifier);
  drop.setAccepted(false);
  QApplication::sendEvent(window_.get(), &drop);
  EXPECT_FALSE(drop.isAccepted());
  startButton().click();  // stop
  ASSERT_TRUE(WaitUntil([&] { return idle(); }));
  for (const QString& text : analysed()) {
    EXPECT_FALSE(text.contains("另")) << text.toStdString();
  }
  EXPECT_FALSE(std::filesystem::exists(folder_ / "chats" / "另"));

  // During a preview too.
  window_->onPreviewClicked();
  ASSERT_TRUE(window_->runController().busy());
  EXPECT_FALSE(DragEnterTaken(*window_, *other));
  ASSERT_TRUE(WaitUntil([&] { return idle(); }));
  EXPECT_TRUE(DragEnterTaken(*window_, *other));

  // A web address or plain text is no export file.
  QMimeData web;
  web.setUrls({QUrl("https://example.org/chat.txt")});
  EXPECT_FALSE(DragEnterTaken(*window_, web));
  QMimeData text;
  text.setText("2016-5-3 9:08:10 某人(100)");
  EXPECT_FALSE(DragEnterTaken(*window_, text));
}

TEST_F(MainWindowDropTest, AFileDroppedOnTheSourceBoxReplacesItsTextInEitherEncoding) {
  QWidget& box = *sourceBox().viewport();
  const auto gbk = folder_ / "gbk.txt";
  WriteBytes(gbk, G(ChatText(2)));
  ASSERT_TRUE(Drop(box, *FileDrag({PathText(gbk)})));
  QString expected = QString::fromStdString(ChatText(2));
  expected.replace("\r\n", "\n");
  EXPECT_EQ(sourceBox().toPlainText(), expected);

  const auto utf8 = folder_ / "utf8.txt";
  WriteBytes(utf8, "\xEF\xBB\xBF" + ChatText(3));
  ASSERT_TRUE(Drop(box, *FileDrag({PathText(utf8)})));
  expected = QString::fromStdString(ChatText(3));
  expected.replace("\r\n", "\n");
  EXPECT_EQ(sourceBox().toPlainText(), expected);

  // The encoding list is read as a run reads it: UTF-8 bytes taken as GBK are not the text.
  Find<QComboBox>(*window_, "组合框编码").setCurrentIndex(1);
  ASSERT_TRUE(Drop(box, *FileDrag({PathText(utf8)})));
  EXPECT_NE(sourceBox().toPlainText(), expected);
  EXPECT_TRUE(dialogs_.shown.empty());
  EXPECT_TRUE(idle());  // loading starts nothing
}

TEST_F(MainWindowDropTest, AnUnreadableFileOnTheSourceBoxIsToldAndTheBoxKept) {
  const QString before = sourceBox().toPlainText();
  const QString missing = PathText(folder_ / "没有.txt");
  Drop(*sourceBox().viewport(), *FileDrag({missing}));
  ASSERT_EQ(dialogs_.of("information").size(), 1u);
  EXPECT_EQ(dialogs_.of("information")[0].title, "信息：");
  EXPECT_TRUE(dialogs_.of("information")[0].text.startsWith("无法读取文件：" + missing))
      << dialogs_.of("information")[0].text.toStdString();
  EXPECT_EQ(sourceBox().toPlainText(), before);

  std::filesystem::create_directories(folder_ / "文件夹.txt");
  Drop(*sourceBox().viewport(), *FileDrag({PathText(folder_ / "文件夹.txt")}));
  ASSERT_EQ(dialogs_.of("information").size(), 2u);
  EXPECT_TRUE(dialogs_.of("information")[1].text.startsWith("无法读取文件："));
  EXPECT_EQ(sourceBox().toPlainText(), before);
}

TEST_F(MainWindowDropTest, TextDroppedOnTheSourceBoxIsTheEditorsAndSeveralFilesAreARun) {
  QMimeData text;
  text.setText("拖进来的文字");
  sourceBox().clear();
  ASSERT_TRUE(Drop(*sourceBox().viewport(), text));
  EXPECT_EQ(sourceBox().toPlainText(), "拖进来的文字");

  const QStringList files = {chatFile("一.txt", 10), chatFile("二.txt", 10)};
  ASSERT_TRUE(Drop(*sourceBox().viewport(), *FileDrag(files)));
  EXPECT_EQ(sourceBox().toPlainText(), "拖进来的文字");
  ASSERT_TRUE(WaitUntil([&] { return idle(); }));
  const std::vector<QString> expected = {"正在分析格式..(2:1) 一", "正在分析格式..(2:2) 二"};
  EXPECT_EQ(analysed(), expected);
}

}  // namespace
}  // namespace gw::app
