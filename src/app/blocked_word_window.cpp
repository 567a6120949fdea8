#include "app/blocked_word_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QMetaObject>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <thread>
#include <utility>
#include <vector>

#include "app/control_access.h"
#include "app/control_persistence.h"
#include "app/qt_text.h"
#include "app/window_placement.h"
#include "ui_blocked_word_window.h"

namespace gw::app {
namespace {

QString Q(const char16_t* text) {
  return QString::fromUtf16(text);
}

const QString kInformation = QStringLiteral("信息：");
const QString kLibraryDialogTitle = QStringLiteral("选择词库文件（必须是编码为ANSI的文本格式）：");
const QString kBatchDialogTitle =
    QStringLiteral("选择多个文件进行屏蔽词删除（请自行备份好原文件）：");
const QString kTextFilter = QStringLiteral("txt文件 (*.txt);;全部文件 (*)");

const std::string& Section() {
  static const std::string section = Gbk("屏蔽词过滤器");
  return section;
}

std::filesystem::path PathOf(const QString& file) {
  return std::filesystem::path(QFile::encodeName(file).toStdString());
}

QString ProgramFolderText() {
  return QCoreApplication::applicationDirPath();
}

}  // namespace

QString DefaultLibraryPath() {
  return ProgramFolderText() + QStringLiteral("/屏蔽词库.txt");
}

// One batch run on a worker thread. The worker only reads its own copies of the settings and the
// file list; it reports to the window through queued calls, so the window's controls are touched
// on the window's thread only. The window outlives the worker: its destructor joins it.
class BlockedWordWindow::BatchRun {
 public:
  BatchRun(BlockedWordWindow& window, int serial, BatchReplaceSettings settings, QStringList files)
      : serial_(serial),
        thread_([this, target = &window, settings = std::move(settings), files = std::move(files)] {
          work(target, settings, files);
        }) {}
  ~BatchRun() { finish(); }
  BatchRun(const BatchRun&) = delete;
  BatchRun& operator=(const BatchRun&) = delete;

  // Tells this run's reports from those of an earlier run still queued.
  int serial() const { return serial_; }
  // Skips the files not yet started.
  void requestStop() { stop_ = true; }
  void finish() {
    if (thread_.joinable()) {
      thread_.join();
    }
  }

 private:
  void work(BlockedWordWindow* window, const BatchReplaceSettings& settings,
            const QStringList& files) {
    BatchReplacer replacer(settings);
    if (!replacer.usable()) {
      const QString problem = FromGbk(replacer.problem());
      QMetaObject::invokeMethod(
          window, [window, serial = serial_, problem] { window->onBatchProblem(serial, problem); },
          Qt::QueuedConnection);
      return;
    }
    QStringList failures;
    for (const QString& file : files) {
      if (stop_) {
        break;
      }
      const std::filesystem::path path = PathOf(file);
      const QString title = QStringLiteral("正在处理..") + QFile::decodeName(path.stem().c_str());
      QMetaObject::invokeMethod(
          window, [window, serial = serial_, title] { window->onBatchFileStarted(serial, title); },
          Qt::QueuedConnection);
      const BatchFileResult result = replacer.process(path);
      if (!result.written) {
        failures.push_back(FromGbk(result.problem));
      }
    }
    const int count = static_cast<int>(files.size());
    QMetaObject::invokeMethod(
        window,
        [window, serial = serial_, count, failures] {
          window->onBatchDone(serial, count, failures);
        },
        Qt::QueuedConnection);
  }

  const int serial_;
  std::atomic<bool> stop_ = false;
  std::thread thread_;  // last: starts once the members it uses exist
};

BlockedWordWindow::BlockedWordWindow(SettingsStore& settings, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window),
      settings_(settings),
      dialogs_(dialogs),
      form_(std::make_unique<Ui::BlockedWordWindowForm>()) {
  form_->setupUi(this);
  move(kAuxiliaryWindowPosition);
  // The multi-line separator box sits in a row of single-line controls: one line high.
  QPlainTextEdit* separator = form_->编辑框分隔符;
  separator->document()->setDocumentMargin(2);
  separator->setFixedHeight(form_->编辑框代替字符->sizeHint().height());

  connect(form_->按钮选择, &QPushButton::clicked, this, &BlockedWordWindow::onChooseLibraryClicked);
  connect(form_->按钮保存, &QPushButton::clicked, this, &BlockedWordWindow::onSaveClicked);
  connect(form_->按钮取消, &QPushButton::clicked, this, &BlockedWordWindow::onCancelClicked);
  connect(form_->按钮选择文件, &QPushButton::clicked, this, &BlockedWordWindow::onBatchClicked);

  loadSettings();
}

BlockedWordWindow::~BlockedWordWindow() {
  stopBatch();
}

void BlockedWordWindow::loadSettings() {
  settings_.setSection(Section());
  QLineEdit* library = form_->编辑框词库;
  library->setText(FromGbk(settings_.readText(Gbk("词库"), ToGbk(library->text()))));
  QPlainTextEdit* separator = form_->编辑框分隔符;
  SetEditBoxText(*separator,
                 FromGbk(settings_.readText(Gbk("分隔符"), ToGbk(EditBoxText(*separator)))));
  restoreRadio(settings_, *form_->单选框换行符);
  restoreRadio(settings_, *form_->单选框自己输入);
  QLineEdit* replacement = form_->编辑框代替字符;
  replacement->setText(FromGbk(settings_.readText(Gbk("代替符"), ToGbk(replacement->text()))));
  QComboBox* encoding = form_->组合框编码;
  const double index = std::trunc(settings_.readNumber(Gbk("编码"), encoding->currentIndex()));
  // A number that names no item keeps the selection.
  if (index >= 0 && index < encoding->count()) {
    encoding->setCurrentIndex(static_cast<int>(index));
  }
  // The default path is shown, not written: it reaches the file with the next save.
  if (library->text().isEmpty()) {
    library->setText(DefaultLibraryPath());
  }
}

bool BlockedWordWindow::saveSettings() {
  // A store that only reads would drop every write; say so rather than pretend.
  if (settings_.isReadOnly()) {
    return false;
  }
  settings_.setSection(Section());
  SettingsStore::Batch batch(settings_);
  bool written = settings_.writeText(Gbk("词库"), ToGbk(form_->编辑框词库->text()));
  written = settings_.writeText(Gbk("分隔符"), ToGbk(EditBoxText(*form_->编辑框分隔符))) && written;
  written = saveRadio(settings_, *form_->单选框换行符) && written;
  written = saveRadio(settings_, *form_->单选框自己输入) && written;
  written = settings_.writeText(Gbk("代替符"), ToGbk(form_->编辑框代替字符->text())) && written;
  written = settings_.writeNumber(Gbk("编码"), form_->组合框编码->currentIndex()) && written;
  return batch.finish() && written;
}

QString BlockedWordWindow::whyNotSaved() const {
  const QString file = QFile::decodeName(settings_.currentPath().c_str());
  if (settings_.isReadOnly()) {
    return QStringLiteral(
               "设置文件无法写入（可能正被另一个运行中的程序使用），屏蔽词设置未能保存。\n") +
           file;
  }
  return QStringLiteral("设置文件未能写入（文件夹不可写或磁盘已满？），屏蔽词设置未能保存。\n") +
         file;
}

BatchReplaceSettings BlockedWordWindow::currentSettings() const {
  BatchReplaceSettings settings;
  settings.words.separatedByLineBreaks = form_->单选框换行符->isChecked();
  settings.words.separator = ToGbk(EditBoxText(*form_->编辑框分隔符));
  settings.words.replacement = ToGbk(form_->编辑框代替字符->text());
  settings.words.libraryPath = QFile::encodeName(form_->编辑框词库->text()).toStdString();
  settings.encoding = form_->组合框编码->currentIndex();
  return settings;
}

bool BlockedWordWindow::batchRunning() const {
  return batch_ != nullptr;
}

void BlockedWordWindow::onChooseLibraryClicked() {
  // The dialog keeps its file between uses; only its first use in this window presets it.
  if (libraryDialogFile_.isEmpty()) {
    const QString current = form_->编辑框词库->text();
    libraryDialogFile_ =
        current.isEmpty() ? ProgramFolderText() + QStringLiteral("/屏蔽词库") : current;
  }
  const QStringList chosen =
      dialogs_.openFiles(this, kLibraryDialogTitle, kTextFilter, libraryDialogFile_, false);
  if (chosen.isEmpty()) {
    return;
  }
  libraryDialogFile_ = chosen.front();
  form_->编辑框词库->setText(chosen.front());
}

void BlockedWordWindow::onSaveClicked() {
  if (saveSettings()) {
    close();
    return;
  }
  dialogs_.information(this, kInformation, whyNotSaved());
}

void BlockedWordWindow::onCancelClicked() {
  close();
}

void BlockedWordWindow::onBatchClicked() {
  if (batch_) {
    return;
  }
  const QStringList files =
      dialogs_.openFiles(this, kBatchDialogTitle, kTextFilter, QString(), true);
  if (files.isEmpty()) {
    return;
  }
  form_->按钮选择文件->setEnabled(false);
  batch_ = std::make_unique<BatchRun>(*this, ++batchSerial_, currentSettings(), files);
}

bool BlockedWordWindow::isCurrentBatch(int serial) const {
  return batch_ && batch_->serial() == serial;
}

void BlockedWordWindow::onBatchFileStarted(int serial, const QString& title) {
  if (isCurrentBatch(serial)) {
    setWindowTitle(title);
  }
}

void BlockedWordWindow::onBatchProblem(int serial, const QString& problem) {
  if (!isCurrentBatch(serial)) {
    return;  // the run was abandoned when the window closed
  }
  stopBatch();
  dialogs_.information(this, kInformation, problem);
  emit batchFinished();
}

void BlockedWordWindow::onBatchDone(int serial, int fileCount, const QStringList& failures) {
  if (!isCurrentBatch(serial)) {
    return;
  }
  stopBatch();
  setWindowTitle(Q(kBatchDoneTitle));
  QString text = FromGbk(BatchSummaryText(fileCount));
  if (!failures.isEmpty()) {
    text += QStringLiteral("\n\n以下文件未能处理：\n") + failures.join(QChar('\n'));
  }
  dialogs_.information(this, kInformation, text);
  emit batchFinished();
}

void BlockedWordWindow::stopBatch() {
  if (!batch_) {
    return;
  }
  batch_->requestStop();
  batch_->finish();
  // Reports of the run still queued find no run and are dropped.
  batch_.reset();
  form_->按钮选择文件->setEnabled(true);
}

void BlockedWordWindow::closeEvent(QCloseEvent* event) {
  // The file in hand is finished; the others are left alone.
  stopBatch();
  QWidget::closeEvent(event);
}

}  // namespace gw::app
