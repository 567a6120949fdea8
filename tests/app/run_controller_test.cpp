#include "app/run_controller.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "text/charset.h"

namespace gw::app {
namespace {

// The controller delivers everything through the window thread's event loop.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { app_ = std::make_unique<QCoreApplication>(argc_, argv_); }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[16] = "run_controller";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QCoreApplication> app_;
};
const auto* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

const QString kResting =
    QStringLiteral("聊天消息组合预览（如果该消息能生成多篇文章，本预览始终显示首篇）");

// An export in the chat format (header block, sender line, body, empty line; CR LF; GBK).
std::string ChatExport(const std::string& name, int messages) {
  std::string text = "消息记录（此消息记录为文本格式，不支持重新导入）\r\n\r\n" +
                     std::string(64, '=') + "\r\n消息分组:我的群组\r\n" + std::string(64, '=') +
                     "\r\n消息对象:测试群\r\n" + std::string(64, '=') + "\r\n\r\n";
  for (int i = 0; i < messages; ++i) {
    text += "2016-5-3 9:08:" + std::to_string(10 + i % 50) + " 某人(100)\r\n" + name + "文件的第" +
            std::to_string(i) + "条消息内容\r\n\r\n";
  }
  return Utf8ToGbk(text);
}

// Everything the controller emitted, in order, as readable lines.
struct Recorder {
  explicit Recorder(RunController& controller) {
    QObject::connect(&controller, &RunController::statusChanged,
                     [this](const QString& text) { add("status " + text); });
    QObject::connect(&controller, &RunController::progressChanged,
                     [this](int file, int files, int done, int total) {
                       progress.push_back({file, files, done, total});
                     });
    QObject::connect(&controller, &RunController::previewReady,
                     [this](const QString& title, const QString& article) {
                       add("preview " + title);
                       previewArticle = article;
                     });
    QObject::connect(&controller, &RunController::errorReported,
                     [this](const QString& text) { add("error " + text); });
    QObject::connect(&controller, &RunController::fileProblem,
                     [this](const QString& text) { add("problem " + text); });
    QObject::connect(&controller, &RunController::firstFileRemembered,
                     [this](const QString& path) { add("first " + path); });
    QObject::connect(&controller, &RunController::finished, [this] { add("finished"); });
  }
  void add(const QString& line) { log.push_back(line.toStdString()); }
  int indexOf(const std::string& line) const {
    const auto found = std::find(log.begin(), log.end(), line);
    return found == log.end() ? -1 : static_cast<int>(found - log.begin());
  }
  int count(const std::string& prefix) const {
    return static_cast<int>(std::count_if(
        log.begin(), log.end(), [&](const std::string& line) { return line.starts_with(prefix); }));
  }

  std::vector<std::string> log;
  std::vector<std::array<int, 4>> progress;
  QString previewArticle;
};

class RunControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("gw-runctl-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_ / "out");
    // One message per paragraph and per article: an article for every message.
    options_.编辑框连横1 = options_.编辑框连横2 = "1";
    options_.编辑框合纵1 = options_.编辑框合纵2 = "1";
    options_.编辑框保存文件夹 = (folder_ / "out").string();
    controller_->setOptions(options_);
    controller_->setSeed(7);
  }
  void TearDown() override {
    controller_.reset();
    std::filesystem::remove_all(folder_);
  }

  QString WriteExport(const std::string& name, int messages) {
    const auto path = folder_ / (name + ".txt");
    std::ofstream(path, std::ios::binary) << ChatExport(name, messages);
    return QString::fromStdString(path.string());
  }
  // A source that blocks the run until the test writes it (a named pipe).
  QString MakePipe(const std::string& name) {
    const auto path = folder_ / (name + ".txt");
    EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
    return QString::fromStdString(path.string());
  }
  static void FillPipe(const QString& path, const std::string& content) {
    const int fd = ::open(path.toStdString().c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
    ::close(fd);
  }

  int ArticlesWritten() const {
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder_ / "out")) {
      files += entry.is_regular_file() ? 1 : 0;
    }
    return files;
  }

  // Runs the window thread's loop until finished() (false after 20 s).
  bool WaitForFinished() {
    if (!controller_->busy()) {
      return true;
    }
    QEventLoop loop;
    bool ended = false;
    QObject::connect(controller_.get(), &RunController::finished, &loop, [&] {
      ended = true;
      loop.quit();
    });
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    loop.exec();
    return ended;
  }

  // The summary box: acknowledged a little later, as a user closes it. Its first line is
  // recorded; the message counts after it are the engine's.
  void AcknowledgeSummaries(Recorder& recorder) {
    QObject::connect(controller_.get(), &RunController::summaryReady,
                     [this, &recorder](const QString& text) {
                       recorder.add("summary " + text.section(QLatin1Char('\n'), 0, 0));
                       QTimer::singleShot(50, controller_.get(), [this, &recorder] {
                         recorder.add("acknowledged");
                         controller_->summaryAcknowledged();
                       });
                     });
  }

  std::filesystem::path folder_;
  Options options_ = Options::FormDefaults();
  std::unique_ptr<RunController> controller_ = std::make_unique<RunController>();
};

TEST_F(RunControllerTest, ThreeFilesShowEachFileThenTheSummaryThenTheRestingText) {
  Recorder recorder(*controller_);
  AcknowledgeSummaries(recorder);
  const QStringList files = {WriteExport("a", 6), WriteExport("b", 6), WriteExport("c", 6)};
  ASSERT_TRUE(controller_->startRun(files, {}));
  ASSERT_TRUE(WaitForFinished());

  const int first = recorder.indexOf("status 正在分析格式..(3:1) a");
  const int second = recorder.indexOf("status 正在分析格式..(3:2) b");
  const int third = recorder.indexOf("status 正在分析格式..(3:3) c");
  const int summary = recorder.indexOf("summary 处理完成，共处理 3 个文件，生成 18 篇");
  const int acknowledged = recorder.indexOf("acknowledged");
  const int resting = recorder.indexOf("status " + kResting.toStdString());
  EXPECT_GE(first, 0);
  EXPECT_LT(first, second);
  EXPECT_LT(second, third);
  EXPECT_LT(third, summary);
  EXPECT_LT(summary, acknowledged);  // the run waits for the summary box
  EXPECT_LT(acknowledged, resting);
  EXPECT_EQ(recorder.log.back(), "finished");
  EXPECT_EQ(recorder.log.front(), "first " + files[0].toStdString());
  EXPECT_EQ(ArticlesWritten(), 18);
  ASSERT_FALSE(recorder.progress.empty());
  EXPECT_EQ(recorder.progress.back(), (std::array<int, 4>{3, 3, 6, 6}));
  EXPECT_FALSE(controller_->busy());
}

TEST_F(RunControllerTest, AStopDuringTheSecondFileEndsTheRunAfterIt) {
  Recorder recorder(*controller_);
  AcknowledgeSummaries(recorder);
  const QString pipe = MakePipe("b");
  const QStringList files = {WriteExport("a", 6), pipe, WriteExport("c", 6)};
  // The second file waits in its pipe until the stop has been requested.
  QObject::connect(controller_.get(), &RunController::statusChanged, [&](const QString& text) {
    if (text.startsWith(QStringLiteral("正在分析格式..(3:2)"))) {
      controller_->requestStop();
      FillPipe(pipe, ChatExport("b", 6));
    }
  });
  ASSERT_TRUE(controller_->startRun(files, {}));
  ASSERT_TRUE(WaitForFinished());

  EXPECT_GE(recorder.indexOf("summary 处理完成，共处理 2 个文件，生成 6 篇"), 0);
  EXPECT_EQ(recorder.indexOf("status 正在分析格式..(3:3) c"), -1);
  EXPECT_EQ(ArticlesWritten(), 6);
  EXPECT_EQ(recorder.log.back(), "finished");
}

TEST_F(RunControllerTest, APreviewShowsTheFirstArticleAndWritesNothing) {
  Recorder recorder(*controller_);
  const std::string source = ChatExport("预览", 3);
  ASSERT_TRUE(controller_->startPreview(QString::fromUtf8(GbkToUtf8(source)), {}));
  ASSERT_TRUE(WaitForFinished());

  ASSERT_EQ(recorder.count("preview "), 1);
  EXPECT_EQ(recorder.previewArticle, QStringLiteral("<p>预览文件的第0条消息内容</p>\r\n"));
  EXPECT_EQ(recorder.log[0], "status 正在分析格式..(0:0) ");
  EXPECT_TRUE(
      recorder.log[recorder.log.size() - 3].starts_with("status 聊天消息组合预览 - 标题："));
  EXPECT_EQ(recorder.count("summary"), 0);
  EXPECT_EQ(ArticlesWritten(), 0);
  EXPECT_TRUE(std::filesystem::is_empty(folder_ / "out"));

  // A custom pattern the engine rejects is told to the window without holding the job.
  options_.选择框自定义替换 = options_.选择框正则替换 = true;
  options_.编辑框欲替换 = "(";
  controller_->setOptions(options_);
  ASSERT_TRUE(controller_->startPreview(QStringLiteral("随便"), {}));
  ASSERT_TRUE(WaitForFinished());
  EXPECT_EQ(recorder.count("error 正则表达式有误："), 1);
}

TEST_F(RunControllerTest, ASecondStartIsRefusedWhileAJobRuns) {
  Recorder recorder(*controller_);
  AcknowledgeSummaries(recorder);
  const QString pipe = MakePipe("a");
  ASSERT_TRUE(
      controller_->startRun({pipe, QString::fromStdString((folder_ / "x.txt").string())}, {}));
  EXPECT_TRUE(controller_->busy());
  EXPECT_FALSE(controller_->startRun({WriteExport("b", 2)}, {}));
  EXPECT_FALSE(controller_->startPreview(QStringLiteral("预览"), {}));
  FillPipe(pipe, ChatExport("a", 2));
  ASSERT_TRUE(WaitForFinished());
  EXPECT_FALSE(controller_->busy());
  EXPECT_EQ(ArticlesWritten(), 2);
  // The missing second file is stepped over and only mentioned.
  EXPECT_EQ(recorder.count("problem 无法读取文件："), 1);
  EXPECT_GE(recorder.indexOf("summary 处理完成，共处理 2 个文件，生成 2 篇"), 0);

  // An empty list (a cancelled dialog) ends at once, without a summary.
  recorder.log.clear();
  ASSERT_TRUE(controller_->startRun({}, {}));
  ASSERT_TRUE(WaitForFinished());
  EXPECT_EQ(recorder.log, std::vector<std::string>{"finished"});
}

TEST_F(RunControllerTest, ProgressAndArticleTextsAreCoalescedButTheLastArrives) {
  Recorder recorder(*controller_);
  AcknowledgeSummaries(recorder);
  options_.编辑框合纵1 = options_.编辑框合纵2 = "500";  // 40 articles
  controller_->setOptions(options_);
  ASSERT_TRUE(controller_->startRun({WriteExport("a", 20000)}, {}));
  ASSERT_TRUE(WaitForFinished());

  ASSERT_FALSE(recorder.progress.empty());
  EXPECT_EQ(recorder.progress.back(), (std::array<int, 4>{1, 1, 20000, 20000}));
  EXPECT_LT(recorder.progress.size(), 2000u);
  EXPECT_LT(recorder.count("status (1:1) 正在生成第 "), 40);
  EXPECT_EQ(ArticlesWritten(), 40);
  EXPECT_GE(recorder.indexOf("summary 处理完成，共处理 1 个文件，生成 40 篇"), 0);
}

TEST_F(RunControllerTest, DestroyingTheControllerDuringARunNeitherHangsNorCrashes) {
  // Destroyed while the worker generates.
  QStringList files;
  for (const char* name : {"a", "b", "c"}) {
    files << WriteExport(name, 3000);
  }
  ASSERT_TRUE(controller_->startRun(files, {}));
  controller_.reset();

  // Destroyed while the worker waits for the summary box to be closed.
  controller_ = std::make_unique<RunController>();
  controller_->setOptions(options_);
  bool summaryShown = false;
  QObject::connect(controller_.get(), &RunController::summaryReady, [&] {
    summaryShown = true;
    QTimer::singleShot(0, [this] { controller_.reset(); });
  });
  ASSERT_TRUE(controller_->startRun({WriteExport("d", 2)}, {}));
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (!controller_) {
      loop.quit();
    }
  });
  poll.start(5);
  QTimer::singleShot(20000, &loop, &QEventLoop::quit);
  loop.exec();
  EXPECT_TRUE(summaryShown);
  EXPECT_FALSE(controller_);
  QCoreApplication::processEvents();  // posts of the destroyed controller must not arrive
}

}  // namespace
}  // namespace gw::app
