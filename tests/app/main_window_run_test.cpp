// Runs started from the main window: the start/stop button, the status line, the summary, and
// one job at a time.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

#include "app/control_access.h"
#include "app/main_window.h"
#include "app/option_binding.h"
#include "app_test_support.h"
#include "engine/host.h"
#include "engine/run_driver.h"

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

const QString kIdle = QString::fromUtf16(kIdleCaption);
const QString kRunning = QString::fromUtf16(kRunningCaption);
const QString kStopping = QString::fromUtf16(kStoppingCaption);
const QString kResting = QString::fromUtf16(kRestingStatus);

// An export in the chat format with `messages` messages of a few sentences each (GBK).
std::string ChatExport(int messages) {
  return Utf8ToGbk(testing::ChatText(messages, "，大家也来看看吧"));
}

class MainWindowRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(store_.setPath(folder_ / "settings.ini", 0));
    std::filesystem::create_directories(folder_ / "chats");
    window_ = std::make_unique<MainWindow>(store_, dialogs_);
    window_->runController().setSeed(11);
    QObject::connect(&window_->runController(), &RunController::statusChanged,
                     [this](const QString& text) { statuses_.push_back(text); });
    window_->show();
    ASSERT_TRUE(WaitUntil([&] { return !window_->runController().busy(); }));
    statuses_.clear();
  }

  // Three exports in folder "chats"; `messages` messages each, the second `second` of them.
  QStringList threeFiles(int messages, int second = 0) {
    QStringList files;
    int position = 0;
    for (const char* name : {"一组.txt", "二组.txt", "三组.txt"}) {
      const auto path = folder_ / "chats" / name;
      WriteBytes(path, ChatExport(++position == 2 && second > 0 ? second : messages));
      files.append(PathText(path));
    }
    return files;
  }
  QPushButton& startButton() { return Find<QPushButton>(*window_, "按钮选择文件"); }
  QPushButton& previewButton() { return Find<QPushButton>(*window_, "按钮预览"); }
  bool idle() { return startButton().text() == kIdle && !window_->runController().busy(); }
  bool sawStatus(const QString& start) const {
    return std::any_of(statuses_.begin(), statuses_.end(),
                       [&](const QString& text) { return text.startsWith(start); });
  }

  TempFolder folder_;
  FakeDialogs dialogs_;
  SettingsStore store_;
  std::unique_ptr<MainWindow> window_;
  std::vector<QString> statuses_;
};

TEST_F(MainWindowRunTest, ARunOverThreeFilesReportsEachFileThenTheSummary) {
  const QStringList files = threeFiles(40);
  dialogs_.fileAnswers.push_back(files);
  startButton().click();
  EXPECT_EQ(startButton().text(), kRunning);
  ASSERT_TRUE(WaitUntil([&] { return idle(); }));

  const auto fileDialog = dialogs_.of("files");
  ASSERT_EQ(fileDialog.size(), 1u);
  EXPECT_EQ(fileDialog[0].title, "选择文件开始处理");
  EXPECT_EQ(fileDialog[0].text, "");  // no previous run: no initial folder
  EXPECT_EQ(dialogs_.lastFilter, "QQ聊天消息导出文件 (*.txt);;全部文件 (*)");
  EXPECT_TRUE(dialogs_.lastMultiple);

  EXPECT_TRUE(sawStatus("正在分析格式..(3:1) 一组"));
  EXPECT_TRUE(sawStatus("正在分析格式..(3:2) 二组"));
  EXPECT_TRUE(sawStatus("正在分析格式..(3:3) 三组"));
  const auto summaries = dialogs_.of("information");
  ASSERT_EQ(summaries.size(), 1u);
  EXPECT_EQ(summaries[0].title, "文章生成完毕！");
  EXPECT_TRUE(summaries[0].text.startsWith("处理完成，共处理 3 个文件，生成 "));
  const int articles = summaries[0].text.section(' ', 3, 3).toInt();
  EXPECT_GT(articles, 2);
  // The articles of each file are in a folder named after it, next to it.
  for (const char* name : {"一组", "二组", "三组"}) {
    EXPECT_TRUE(std::filesystem::is_directory(folder_ / "chats" / name)) << name;
  }
  EXPECT_EQ(window_->statusText(), kResting);
  EXPECT_TRUE(previewButton().isEnabled());

  // The next dialog opens in the folder of the first file, which the settings keep.
  EXPECT_EQ(ControlTag(startButton()), files[0]);
  startButton().click();
  EXPECT_EQ(dialogs_.of("files")[1].text, PathText(folder_ / "chats"));
  window_->close();
  EXPECT_NE(
      ReadBytes(folder_ / "settings.ini").find(G("选择文件=") + Utf8ToGbk(files[0].toStdString())),
      std::string::npos);
}

TEST_F(MainWindowRunTest, AStopDuringTheSecondFileEndsTheRunAfterIt) {
  // The second file is long enough for the stop to arrive while it is being read.
  dialogs_.fileAnswers.push_back(threeFiles(500, 60000));
  // The caption is read right after the click: the run may well end before a later look.
  QString captionAfterStop;
  QObject::connect(
      &window_->runController(), &RunController::statusChanged, window_.get(),
      [&](const QString& text) {
        if (text.startsWith("正在分析格式..(3:2)") && startButton().text() == kRunning) {
          startButton().click();
          captionAfterStop = startButton().text();
        }
      });
  startButton().click();
  ASSERT_TRUE(WaitUntil([&] { return idle(); }));
  EXPECT_EQ(captionAfterStop, kStopping);
  const auto summaries = dialogs_.of("information");
  ASSERT_EQ(summaries.size(), 1u);
  EXPECT_TRUE(summaries[0].text.startsWith("处理完成，共处理 2 个文件"));
  EXPECT_FALSE(sawStatus("正在分析格式..(3:3)"));
}

TEST_F(MainWindowRunTest, FilesTheRunSteppedOverAreListedAfterTheSummary) {
  QStringList files = threeFiles(40);
  files.insert(1, PathText(folder_ / "chats" / "不存在.txt"));
  std::filesystem::create_directories(folder_ / "chats" / "文件夹.txt");
  files.append(PathText(folder_ / "chats" / "文件夹.txt"));
  WriteBytes(folder_ / "chats" / "笔记.txt", G("这里没有一条聊天消息\r\n"));
  files.append(PathText(folder_ / "chats" / "笔记.txt"));
  dialogs_.fileAnswers.push_back(files);
  startButton().click();
  ASSERT_TRUE(WaitUntil([&] { return idle(); }));
  const auto boxes = dialogs_.of("information");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(boxes[0].text.startsWith("处理完成，共处理 6 个文件，生成 "));
  EXPECT_TRUE(boxes[0].text.contains("\n\n以下文件未能处理：\n"));
  EXPECT_TRUE(boxes[0].text.contains("不存在.txt"));
  EXPECT_TRUE(boxes[0].text.contains("文件夹.txt"));
  EXPECT_TRUE(
      boxes[0].text.contains("未找到聊天消息：" + PathText(folder_ / "chats" / "笔记.txt")));
  EXPECT_FALSE(boxes[0].text.contains("一组.txt"));

  // The next run starts with a clean list.
  dialogs_.fileAnswers.push_back(threeFiles(40));
  startButton().click();
  ASSERT_TRUE(WaitUntil([&] { return idle(); }));
  ASSERT_EQ(dialogs_.of("information").size(), 2u);
  EXPECT_FALSE(dialogs_.of("information")[1].text.contains("未能处理"));
}

TEST_F(MainWindowRunTest, ACancelledDialogShowsNoSummaryAndLeavesTheButtonIdle) {
  startButton().click();
  EXPECT_EQ(dialogs_.of("files").size(), 1u);
  EXPECT_TRUE(dialogs_.of("information").empty());
  EXPECT_TRUE(idle());
  EXPECT_TRUE(previewButton().isEnabled());
  EXPECT_TRUE(statuses_.empty());
}

TEST_F(MainWindowRunTest, OnlyTheStopButtonWorksWhileAJobRuns) {
  dialogs_.fileAnswers.push_back(threeFiles(3000));
  const QString before = Find<QPlainTextEdit>(*window_, "编辑框处理结果").toPlainText();
  startButton().click();
  ASSERT_TRUE(window_->runController().busy());
  EXPECT_FALSE(previewButton().isEnabled());
  EXPECT_TRUE(startButton().isEnabled());
  EXPECT_TRUE(window_->progressBar().isVisible());
  window_->onPreviewClicked();  // what a click that got through would do
  EXPECT_EQ(startButton().text(), kRunning);
  startButton().click();
  EXPECT_EQ(startButton().text(), kStopping);
  ASSERT_TRUE(WaitUntil([&] { return idle(); }));
  EXPECT_EQ(Find<QPlainTextEdit>(*window_, "编辑框处理结果").toPlainText(), before);
  EXPECT_FALSE(window_->progressBar().isVisible());

  // During a preview neither start button works.
  window_->onPreviewClicked();
  ASSERT_TRUE(window_->runController().busy());
  EXPECT_FALSE(startButton().isEnabled());
  EXPECT_FALSE(previewButton().isEnabled());
  ASSERT_TRUE(WaitUntil([&] { return idle(); }));
  EXPECT_TRUE(startButton().isEnabled());
  EXPECT_TRUE(previewButton().isEnabled());
}

TEST_F(MainWindowRunTest, ClosingDuringARunStopsItWaitsAndSaves) {
  // The first file is long enough that the run is still in it when the close arrives, however
  // busy the machine is.
  const QStringList files = threeFiles(40);
  WriteBytes(folder_ / "chats" / "一组.txt", ChatExport(150000));
  dialogs_.fileAnswers.push_back(files);
  Find<QLineEdit>(*window_, "编辑框扩展名").setText("htm");
  startButton().click();
  ASSERT_TRUE(WaitUntil([&] { return sawStatus("正在分析格式..(3:1)"); }));
  EXPECT_TRUE(window_->close());
  EXPECT_FALSE(window_->runController().busy());
  EXPECT_TRUE(dialogs_.of("information").empty());  // no summary to read while closing
  EXPECT_FALSE(sawStatus("正在分析格式..(3:2)"));
  EXPECT_NE(ReadBytes(folder_ / "settings.ini").find(G("扩展名=htm")), std::string::npos);
}

TEST_F(MainWindowRunTest, AnEmptyWordListTurnsWordInsertionOff) {
  Find<QCheckBox>(*window_, "选择框插入词").setChecked(true);
  window_->findChild<QComboBox*>("编辑框词")->setEditText("");
  window_->onPreviewClicked();
  ASSERT_TRUE(WaitUntil([&] { return idle(); }));
  EXPECT_FALSE(Find<QCheckBox>(*window_, "选择框插入词").isChecked());
  EXPECT_FALSE(Find<QLineEdit>(*window_, "编辑框插入1").isEnabled());
}

// The engine's preview of `source` (GBK) with `options`, as a host that looks only at the first
// article sees it.
class FirstArticleHost : public Host {
 public:
  FirstArticleHost(const Options& options, std::string source)
      : options_(std::make_shared<const Options>(options)), source_(std::move(source)) {}
  std::shared_ptr<const Options> currentOptions() override { return options_; }
  std::string previewSourceText() override { return source_; }
  BlockedWordSettings blockedWordSettings() override { return {}; }
  void setStatus(std::string_view) override {}
  bool stopRequested() override { return false; }
  void reportError(std::string_view) override {}
  void showPreview(std::string_view, std::string_view article) override {
    first = QString::fromStdString(GbkToUtf8(article));
  }
  QString first;

 private:
  std::shared_ptr<const Options> options_;
  std::string source_;
};

TEST_F(MainWindowRunTest, ThePreviewStepsThroughEveryArticleOfThePastedChatWritingNothing) {
  // Two messages an article: six articles from twelve messages.
  Find<QLineEdit>(*window_, "编辑框连横1").setText("1");
  Find<QLineEdit>(*window_, "编辑框连横2").setText("1");
  Find<QLineEdit>(*window_, "编辑框合纵1").setText("2");
  Find<QLineEdit>(*window_, "编辑框合纵2").setText("2");
  const std::string chat = ChatExport(12);
  Find<QPlainTextEdit>(*window_, "编辑框源消息")
      .setPlainText(QString::fromStdString(GbkToUtf8(chat)).replace("\r\n", "\n"));
  const auto before = std::distance(std::filesystem::recursive_directory_iterator(folder_.path()),
                                    std::filesystem::recursive_directory_iterator());
  previewButton().click();
  ASSERT_TRUE(WaitUntil([&] { return idle(); }));

  auto& previous = Find<QPushButton>(*window_, "按钮上一篇");
  auto& next = Find<QPushButton>(*window_, "按钮下一篇");
  auto& position = Find<QLabel>(*window_, "标签篇数");
  auto& result = Find<QPlainTextEdit>(*window_, "编辑框处理结果");
  EXPECT_EQ(previous.text(), "<");
  EXPECT_EQ(previous.toolTip(), "上一篇");
  EXPECT_EQ(next.text(), ">");
  EXPECT_EQ(next.toolTip(), "下一篇");
  EXPECT_EQ(position.text(), "第 1/6 篇");
  EXPECT_FALSE(previous.isEnabled());
  EXPECT_TRUE(next.isEnabled());

  // The first article is the engine's first, as a preview that showed only it composed it.
  const QString first = result.toPlainText();
  FirstArticleHost engine(GatherOptions(*window_), chat);
  RunPreview(engine, 11);
  EXPECT_EQ(first, QString(engine.first).replace("\r\n", "\n"));
  EXPECT_TRUE(window_->statusText().startsWith("聊天消息组合预览 - 标题："));

  // Every article in order: messages 0-1, 2-3, ...; the title in the status line follows.
  for (int shown = 1; shown <= 6; ++shown) {
    EXPECT_EQ(position.text(), QStringLiteral("第 %1/6 篇").arg(shown));
    const QString article = result.toPlainText();
    EXPECT_TRUE(article.contains(QStringLiteral("第%1页").arg(2 * shown - 2))) << shown;
    EXPECT_TRUE(article.contains(QStringLiteral("第%1页").arg(2 * shown - 1))) << shown;
    const QString title = window_->statusText().mid(QString("聊天消息组合预览 - 标题：").size());
    EXPECT_FALSE(title.isEmpty());
    EXPECT_TRUE(article.contains(title.left(4))) << shown;
    EXPECT_EQ(previous.isEnabled(), shown > 1);
    EXPECT_EQ(next.isEnabled(), shown < 6);
    Find<QPushButton>(*window_, "按钮复制").click();
    EXPECT_EQ(QApplication::clipboard()->text(), article);
    next.click();
  }
  EXPECT_EQ(position.text(), "第 6/6 篇");  // a click at the end changes nothing
  for (int i = 0; i < 7; ++i) {
    previous.click();
  }
  EXPECT_EQ(position.text(), "第 1/6 篇");
  EXPECT_EQ(result.toPlainText(), first);

  // A new preview starts over at its first article.
  next.click();
  Find<QLineEdit>(*window_, "编辑框合纵1").setText("12");
  Find<QLineEdit>(*window_, "编辑框合纵2").setText("12");
  previewButton().click();
  ASSERT_TRUE(WaitUntil([&] { return idle(); }));
  EXPECT_EQ(position.text(), "第 1/1 篇");
  EXPECT_FALSE(previous.isEnabled());
  EXPECT_FALSE(next.isEnabled());
  EXPECT_TRUE(result.toPlainText().contains("第11页"));

  EXPECT_EQ(std::distance(std::filesystem::recursive_directory_iterator(folder_.path()),
                          std::filesystem::recursive_directory_iterator()),
            before);
}

}  // namespace
}  // namespace gw::app
