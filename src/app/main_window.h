// The main window: every option of a generation run in its controls, the preview and its
// articles, the start/stop button of a run (also started by dropping files on the window), and
// the settings commands. The window takes its settings store and dialogs
// from outside, so that tests can give it a store of their own and answer its dialogs.
#pragma once

#include <QString>
#include <QWidget>
#include <memory>

#include "app/dialogs.h"
#include "app/preview_browser.h"
#include "app/run_controller.h"
#include "settings/settings_store.h"

class QProgressBar;

namespace Ui {
class MainWindowForm;
}

namespace gw::app {

// Captions of the start/stop button: idle, running, stop requested.
inline constexpr char16_t kIdleCaption[] = u"选择文件开始生成";
inline constexpr char16_t kRunningCaption[] = u"点击我停止生成";
inline constexpr char16_t kStoppingCaption[] = u"正在停止中";
// The status line at rest.
inline constexpr char16_t kRestingStatus[] =
    u"聊天消息组合预览（如果该消息能生成多篇文章，本预览始终显示首篇）";
// The default title of the window's message boxes.
inline constexpr char16_t kInformationTitle[] = u"信息：";

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  MainWindow(SettingsStore& settings, Dialogs& dialogs, QWidget* parent = nullptr);
  ~MainWindow() override;

  RunController& runController() { return controller_; }
  // The status line: the caption of the preview group.
  QString statusText() const;
  QProgressBar& progressBar() { return *progress_; }

 public slots:
  void onStartStopClicked();
  void onPreviewClicked();
  void onPasteClicked();
  void onCopyClicked();
  // The preview's previous and next article.
  void onPreviousArticleClicked();
  void onNextArticleClicked();
  // "保存配置": saves and says whether the file took the settings.
  void onSaveSettingsClicked();
  void onHelpClicked();
  void onChooseFolderClicked();

 protected slots:
  // The auxiliary windows ("设置词库", "编辑") open from here.
  virtual void openBlockedWordSettings();
  virtual void openPhraseEditor();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Export files dropped on the window start a run over them, unless a job is under way.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  enum class Job { None, Run, Preview };

  // First show: phrases, saved options, enabling rules, then a preview.
  void onMainWindowCreated();
  void pushOptions();
  // The button's run over `files` (none: the dialog was cancelled); the caption already says so.
  void startRunOver(const QStringList& files);
  // Whether a drop may start a run now: no run or preview under way.
  bool mayStartRunFromDrop() const;
  // A file dropped on the source-message box: its text replaces the box's, or the user is told.
  void loadDroppedSource(const QString& path);
  // Drags over the source-message box: one file loads it, several start a run as on the rest of
  // the window, anything else is the editor's.
  bool filterSourceBoxDrag(QEvent* event);
  void showPreviewArticle();
  void setJob(Job job);
  void setStatus(const QString& text);
  void onProgress(int fileIndex, int fileCount, int messagesDone, int messageCount);
  void onSummary(const QString& text);
  void onFinished();
  void onFileProblem(const QString& text);
  // The files the job stepped over, as a paragraph to add to a message; empty when none.
  QString fileProblemsText() const;
  void placeOnFrameLines();
  QString whyNotSaved() const;
  void connectControls();

  SettingsStore& settings_;
  Dialogs& dialogs_;
  std::unique_ptr<Ui::MainWindowForm> form_;
  QProgressBar* progress_ = nullptr;  // owned by the preview group
  RunController controller_;
  Job job_ = Job::None;
  bool created_ = false;
  bool closing_ = false;
  // What the current job stepped over (distinct texts, the first kShownFileProblems of them) and
  // how many problems it reported in all.
  QStringList fileProblems_;
  int fileProblemCount_ = 0;
  PreviewBrowser preview_;
};

}  // namespace gw::app
