#include "app/main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QProgressBar>
#include <QRegularExpressionValidator>
#include <QStyleOptionGroupBox>
#include <QUrl>
#include <algorithm>

#include "app/banner_icons.h"
#include "app/blocked_word_window.h"
#include "app/control_access.h"
#include "app/digit_spin_box.h"
#include "app/enabling_rules.h"
#include "app/file_drops.h"
#include "app/option_binding.h"
#include "app/phrase_editor_window.h"
#include "app/qt_text.h"
#include "app/settings_model.h"
#include "app/window_placement.h"
#include "app/window_texts.h"
#include "engine/article_composer.h"
#include "engine/option_settings.h"
#include "ui_main_window.h"

namespace gw::app {
namespace {

QString Q(const char16_t* text) {
  return QString::fromUtf16(text);
}

const QString kOpenFilesTitle = QStringLiteral("选择文件开始处理");
const QString kOpenFilesFilter = QStringLiteral("QQ聊天消息导出文件 (*.txt);;全部文件 (*)");
const QString kFolderTitle = QStringLiteral("选择一个保存文章的目录。留空则保存到源文件所在目录");
const QString kSummaryTitle = QStringLiteral("文章生成完毕！");

// The rectangle of a group box's caption.
QRect GroupTitleRect(const QGroupBox& group) {
  QStyleOptionGroupBox option;
  option.initFrom(&group);
  option.text = group.title();
  option.lineWidth = 1;
  option.midLineWidth = 0;
  option.textAlignment = group.alignment();
  option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
  return group.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel,
                                       &group);
}

}  // namespace

MainWindow::MainWindow(SettingsStore& settings, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent),
      settings_(settings),
      dialogs_(dialogs),
      form_(std::make_unique<Ui::MainWindowForm>()) {
  form_->setupUi(this);
  move(kMainWindowPosition);
  setWindowIcon(ProgramIcon());
  form_->图片保存配置->setIcon(SaveSettingsIcon());
  form_->图片疑点说明->setIcon(HelpIcon());

  // Multi-line boxes that sit in a row of single-line ones take a single line's height.
  const int lineHeight = form_->编辑框数位->sizeHint().height();
  for (QPlainTextEdit* box :
       {form_->编辑框欲替换, form_->编辑框替换为, form_->编辑框前缀, form_->编辑框后缀}) {
    box->document()->setDocumentMargin(2);
    box->setFixedHeight(lineHeight);
  }
  // Digits-only boxes refuse everything but digits.
  for (QLineEdit* box :
       {form_->编辑框合纵1, form_->编辑框合纵2, form_->编辑框插入1, form_->编辑框插入2}) {
    box->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), box));
  }

  // "打乱消息顺序" sits on its group's frame line, beside the caption; the progress of a run on
  // the preview group's frame line, beside the status text.
  form_->group7_layout->removeWidget(form_->选择框打乱消息顺序);
  form_->选择框打乱消息顺序->setAutoFillBackground(true);
  form_->分组框7->installEventFilter(this);
  progress_ = new QProgressBar(form_->分组框预览);  // owned by the group
  progress_->setObjectName(QStringLiteral("进度条"));
  progress_->setTextVisible(true);
  progress_->hide();
  form_->分组框预览->installEventFilter(this);

  form_->编辑框源消息->setPlainText(SampleExportText());
  // Drags over the source box reach its viewport; the window sees those the box leaves alone.
  setAcceptDrops(true);
  form_->编辑框源消息->viewport()->installEventFilter(this);
  setStatus(Q(kRestingStatus));

  ConnectEnablingRules(*this);
  connectControls();
  settings_.setFailureHandler([this](std::string_view content) {
    dialogs_.warning(this, Q(kStoreFailureTitle), Q(kStoreFailureWarning));
    dialogs_.information(this, Q(kStoreFailureTitle), FromGbk(content));
  });
}

MainWindow::~MainWindow() {
  settings_.setFailureHandler(nullptr);
}

QString MainWindow::statusText() const {
  return form_->分组框预览->title();
}

void MainWindow::connectControls() {
  connect(form_->按钮选择文件, &QPushButton::clicked, this, &MainWindow::onStartStopClicked);
  connect(form_->按钮预览, &QPushButton::clicked, this, &MainWindow::onPreviewClicked);
  connect(form_->按钮粘贴, &QPushButton::clicked, this, &MainWindow::onPasteClicked);
  connect(form_->按钮复制, &QPushButton::clicked, this, &MainWindow::onCopyClicked);
  connect(form_->按钮上一篇, &QPushButton::clicked, this, &MainWindow::onPreviousArticleClicked);
  connect(form_->按钮下一篇, &QPushButton::clicked, this, &MainWindow::onNextArticleClicked);
  connect(form_->按钮选择, &QPushButton::clicked, this, &MainWindow::onChooseFolderClicked);
  connect(form_->按钮屏蔽词设置, &QPushButton::clicked, this, &MainWindow::openBlockedWordSettings);
  connect(form_->按钮编辑, &QPushButton::clicked, this, &MainWindow::openPhraseEditor);
  connect(form_->图片保存配置, &QToolButton::clicked, this, &MainWindow::onSaveSettingsClicked);
  connect(form_->链接保存配置, &QLabel::linkActivated, this, &MainWindow::onSaveSettingsClicked);
  connect(form_->图片疑点说明, &QToolButton::clicked, this, &MainWindow::onHelpClicked);
  connect(form_->链接疑点说明, &QLabel::linkActivated, this, &MainWindow::onHelpClicked);
  connect(form_->链接主页, &QLabel::linkActivated, this,
          [](const QString& link) { QDesktopServices::openUrl(QUrl(link)); });

  // The run reads the options from a snapshot that follows every change of the controls.
  for (QWidget* control : OptionControls(*this)) {
    if (auto* box = qobject_cast<QAbstractButton*>(control)) {
      connect(box, &QAbstractButton::toggled, this, &MainWindow::pushOptions);
    } else if (auto* line = qobject_cast<QLineEdit*>(control)) {
      connect(line, &QLineEdit::textChanged, this, &MainWindow::pushOptions);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control)) {
      connect(plain, &QPlainTextEdit::textChanged, this, &MainWindow::pushOptions);
    } else if (auto* digits = qobject_cast<DigitSpinBox*>(control)) {
      connect(digits, &DigitSpinBox::textChanged, this, &MainWindow::pushOptions);
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
      connect(combo, &QComboBox::currentIndexChanged, this, &MainWindow::pushOptions);
      connect(combo, &QComboBox::editTextChanged, this, &MainWindow::pushOptions);
    }
  }

  connect(&controller_, &RunController::statusChanged, this, &MainWindow::setStatus);
  connect(&controller_, &RunController::progressChanged, this, &MainWindow::onProgress);
  connect(&controller_, &RunController::previewReady, this,
          [this](const QString& title, const QString& article) {
            preview_.start(title, ToLf(article));
            showPreviewArticle();
          });
  connect(&controller_, &RunController::previewArticleAdded, this,
          [this](const QString& title, const QString& article) {
            preview_.add(title, ToLf(article));
            form_->标签篇数->setText(preview_.positionText());
            form_->按钮上一篇->setEnabled(preview_.canGoBack());
            form_->按钮下一篇->setEnabled(preview_.canGoForward());
          });
  connect(&controller_, &RunController::errorReported, this,
          [this](const QString& text) { dialogs_.information(this, Q(kInformationTitle), text); });
  connect(&controller_, &RunController::fileProblem, this, &MainWindow::onFileProblem);
  connect(&controller_, &RunController::wordInsertionTurnedOff, this,
          [this] { form_->选择框插入词->setChecked(false); });
  connect(&controller_, &RunController::firstFileRemembered, this,
          [this](const QString& path) { SetControlTag(*form_->按钮选择文件, path); });
  connect(&controller_, &RunController::summaryReady, this, &MainWindow::onSummary);
  connect(&controller_, &RunController::finished, this, &MainWindow::onFinished);
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!created_) {
    created_ = true;
    onMainWindowCreated();
  }
}

void MainWindow::onMainWindowCreated() {
  loadPhraseCombo(settings_, *form_->编辑框词);
  loadMainSettings(settings_, *this);
  ApplyEnablingRules(*this);
  // A long word list shows its beginning.
  if (QLineEdit* words = form_->编辑框词->lineEdit()) {
    words->setCursorPosition(0);
  }
  pushOptions();
  onPreviewClicked();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (closing_) {
    // Already waiting for the run to end; that close finishes the job.
    event->ignore();
    return;
  }
  closing_ = true;
  if (controller_.busy()) {
    controller_.requestStop();
    if (job_ == Job::Run) {
      form_->按钮选择文件->setText(Q(kStoppingCaption));
    }
    controller_.waitUntilIdle();
  }
  saveMainSettings(settings_, *this);
  event->accept();
}

void MainWindow::pushOptions() {
  controller_.setOptions(GatherOptions(*this));
}

void MainWindow::setJob(Job job) {
  job_ = job;
  // One job at a time: while a run goes on only its stop button works; while a preview goes on
  // neither start button does.
  form_->按钮预览->setEnabled(job == Job::None);
  form_->按钮选择文件->setEnabled(job != Job::Preview);
  if (job == Job::None) {
    progress_->hide();
  }
}

void MainWindow::setStatus(const QString& text) {
  form_->分组框预览->setTitle(text);
}

void MainWindow::onProgress(int fileIndex, int fileCount, int messagesDone, int messageCount) {
  if (job_ != Job::Run || fileCount <= 0) {
    return;
  }
  constexpr int kStepsPerFile = 1000;
  const int withinFile =
      messageCount > 0
          ? static_cast<int>(static_cast<long long>(messagesDone) * kStepsPerFile / messageCount)
          : 0;
  progress_->setRange(0, fileCount * kStepsPerFile);
  progress_->setValue(
      std::clamp((fileIndex - 1) * kStepsPerFile + withinFile, 0, fileCount * kStepsPerFile));
  progress_->setFormat(QStringLiteral("%1/%2  %p%").arg(fileIndex).arg(fileCount));
}

void MainWindow::onSummary(const QString& text) {
  // Closing the window ends the run without asking the user to read its summary.
  if (!closing_) {
    dialogs_.information(this, kSummaryTitle, text + fileProblemsText());
    fileProblems_.clear();
    fileProblemCount_ = 0;
  }
  controller_.summaryAcknowledged();
}

void MainWindow::onFinished() {
  // Problems of a job that ends without a summary (a preview) are told on their own.
  if (fileProblemCount_ > 0 && !closing_) {
    dialogs_.information(this, Q(kInformationTitle), fileProblemsText().trimmed());
  }
  fileProblems_.clear();
  fileProblemCount_ = 0;
  form_->按钮选择文件->setText(Q(kIdleCaption));
  setJob(Job::None);
}

void MainWindow::onFileProblem(const QString& text) {
  // A folder that cannot be written fails every article: the box lists a few, then counts.
  constexpr int kShownFileProblems = 10;
  ++fileProblemCount_;
  if (fileProblems_.size() < kShownFileProblems && !fileProblems_.contains(text)) {
    fileProblems_.append(text);
  }
}

QString MainWindow::fileProblemsText() const {
  if (fileProblemCount_ == 0) {
    return {};
  }
  QString text = QStringLiteral("\n\n以下文件未能处理：\n") + fileProblems_.join(QChar('\n'));
  if (fileProblemCount_ > fileProblems_.size()) {
    text += QStringLiteral("\n……（共 %1 条）").arg(fileProblemCount_);
  }
  return text;
}

void MainWindow::onStartStopClicked() {
  QPushButton* button = form_->按钮选择文件;
  if (button->text() != Q(kIdleCaption)) {
    // A run is in progress: the click asks it to stop after the current message.
    controller_.requestStop();
    button->setText(Q(kStoppingCaption));
    return;
  }
  if (controller_.busy()) {
    return;
  }
  button->setText(Q(kRunningCaption));
  setJob(Job::Run);
  // The dialog opens in the folder of the first file of the last run.
  const QString lastFile = ControlTag(*button);
  const QString folder = lastFile.isEmpty() ? QString() : QFileInfo(lastFile).path();
  startRunOver(dialogs_.openFiles(this, kOpenFilesTitle, kOpenFilesFilter, folder, true));
}

void MainWindow::startRunOver(const QStringList& files) {
  pushOptions();
  if (files.isEmpty() || !controller_.startRun(files, ReadBlockedWordSettings(settings_))) {
    form_->按钮选择文件->setText(Q(kIdleCaption));
    setJob(Job::None);
    return;
  }
  progress_->setRange(0, 0);  // busy until the first file reports its messages
  progress_->show();
  placeOnFrameLines();
}

void MainWindow::onPreviewClicked() {
  if (controller_.busy()) {
    return;
  }
  pushOptions();
  const QString source = ToCrLf(form_->编辑框源消息->toPlainText());
  if (controller_.startPreview(source, ReadBlockedWordSettings(settings_))) {
    setJob(Job::Preview);
  }
}

void MainWindow::onPasteClicked() {
  form_->编辑框源消息->setPlainText(ToLf(QApplication::clipboard()->text()));
}

void MainWindow::onCopyClicked() {
  QApplication::clipboard()->setText(form_->编辑框处理结果->toPlainText());
}

void MainWindow::onPreviousArticleClicked() {
  if (preview_.back()) {
    showPreviewArticle();
  }
}

void MainWindow::onNextArticleClicked() {
  if (preview_.forward()) {
    showPreviewArticle();
  }
}

void MainWindow::showPreviewArticle() {
  form_->编辑框处理结果->setPlainText(preview_.article());
  form_->标签篇数->setText(preview_.positionText());
  form_->按钮上一篇->setEnabled(preview_.canGoBack());
  form_->按钮下一篇->setEnabled(preview_.canGoForward());
  setStatus(FromGbk(PreviewStatusLead()) + preview_.title());
}

bool MainWindow::mayStartRunFromDrop() const {
  return job_ == Job::None && !controller_.busy() && form_->按钮选择文件->text() == Q(kIdleCaption);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (mayStartRunFromDrop() && !DroppedLocalFiles(event->mimeData()).isEmpty()) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
  if (mayStartRunFromDrop() && !DroppedLocalFiles(event->mimeData()).isEmpty()) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QStringList files = DroppedLocalFiles(event->mimeData());
  if (!mayStartRunFromDrop() || files.isEmpty()) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  // The same run as the button's after its dialog, with the dropped files in their order.
  form_->按钮选择文件->setText(Q(kRunningCaption));
  setJob(Job::Run);
  startRunOver(files);
}

bool MainWindow::filterSourceBoxDrag(QEvent* event) {
  auto* drag = static_cast<QDropEvent*>(event);  // enter and move events are drop events too
  const QStringList files = DroppedLocalFiles(drag->mimeData());
  if (files.isEmpty()) {
    return false;  // text: the editor's own handling
  }
  if (files.size() > 1) {
    // Several files are a run, as anywhere else on the window.
    if (event->type() == QEvent::Drop) {
      dropEvent(drag);
    } else if (mayStartRunFromDrop()) {
      drag->acceptProposedAction();
    } else {
      drag->ignore();
    }
    return true;
  }
  drag->acceptProposedAction();
  if (event->type() == QEvent::Drop) {
    loadDroppedSource(files.front());
  }
  return true;
}

void MainWindow::loadDroppedSource(const QString& path) {
  const DroppedSource source = ReadDroppedSource(path, form_->组合框编码->currentIndex());
  if (!source.read) {
    dialogs_.information(this, Q(kInformationTitle), source.problem);
    return;
  }
  form_->编辑框源消息->setPlainText(source.text);
}

QString MainWindow::whyNotSaved() const {
  const std::filesystem::path& file = settings_.currentPath();
  const QString name = QString::fromStdString(file.string());
  switch (settings_.writeAccess()) {
    case SettingsStore::WriteAccess::HeldElsewhere:
      return QStringLiteral("设置文件正被另一个运行中的程序使用，未能保存。\n") + name;
    case SettingsStore::WriteAccess::FileReadOnly:
      return QStringLiteral("设置文件只读，未能保存。\n") + name;
    case SettingsStore::WriteAccess::Unavailable:
      return QStringLiteral("设置文件无法打开，未能保存。\n") + name;
    case SettingsStore::WriteAccess::Granted:
      break;
  }
  return QStringLiteral("设置文件未能写入（文件夹不可写或磁盘已满？），未能保存。\n") + name;
}

void MainWindow::onSaveSettingsClicked() {
  if (!settings_.isReadOnly() && saveMainSettings(settings_, *this)) {
    dialogs_.information(this, Q(kInformationTitle), QStringLiteral("保存完毕！"));
    return;
  }
  dialogs_.information(this, Q(kInformationTitle), whyNotSaved());
}

void MainWindow::onHelpClicked() {
  dialogs_.showText(this, HelpTitle(), HelpPrompt(), HelpText());
}

void MainWindow::onChooseFolderClicked() {
  const QString chosen = dialogs_.chooseFolder(this, kFolderTitle, form_->编辑框保存文件夹->text());
  if (!chosen.isEmpty()) {
    form_->编辑框保存文件夹->setText(chosen);
  }
}

namespace {

// The open (visible) auxiliary window of type `Window` owned by `owner`, if any. A closed one
// is on its way out (it deletes itself on close).
template <class Window>
Window* OpenAuxiliaryWindow(QWidget& owner) {
  for (Window* window : owner.findChildren<Window*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (window->isVisible()) {
      return window;
    }
  }
  return nullptr;
}

void ShowAuxiliaryWindow(QWidget& window) {
  window.setAttribute(Qt::WA_DeleteOnClose);
  if (window.isMinimized()) {
    window.showNormal();
  }
  window.show();
  window.raise();
  window.activateWindow();
}

}  // namespace

void MainWindow::openBlockedWordSettings() {
  // One settings window at a time: a second click brings the open one forward.
  BlockedWordWindow* window = OpenAuxiliaryWindow<BlockedWordWindow>(*this);
  if (!window) {
    window = new BlockedWordWindow(settings_, dialogs_, this);  // owned by the main window
  }
  ShowAuxiliaryWindow(*window);
}

void MainWindow::openPhraseEditor() {
  // One editor at a time: two would store over each other's list.
  PhraseEditorWindow* window = OpenAuxiliaryWindow<PhraseEditorWindow>(*this);
  if (!window) {
    window = new PhraseEditorWindow(settings_, dialogs_, form_->编辑框词, this);  // owned by us
  }
  ShowAuxiliaryWindow(*window);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == form_->编辑框源消息->viewport() &&
      (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove ||
       event->type() == QEvent::Drop)) {
    return filterSourceBoxDrag(event);
  }
  if ((watched == form_->分组框7 || watched == form_->分组框预览) &&
      (event->type() == QEvent::Resize || event->type() == QEvent::Show ||
       event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)) {
    placeOnFrameLines();
  }
  return QWidget::eventFilter(watched, event);
}

void MainWindow::placeOnFrameLines() {
  // The shuffle box after the caption of its group, on the frame line.
  QCheckBox* shuffle = form_->选择框打乱消息顺序;
  const QRect caption = GroupTitleRect(*form_->分组框7);
  const QSize size = shuffle->sizeHint();
  shuffle->setGeometry(caption.right() + 16, caption.center().y() - size.height() / 2 + 1,
                       size.width() + 4, size.height());
  shuffle->raise();

  // The progress bar at the right end of the preview group's frame line.
  const QRect status = GroupTitleRect(*form_->分组框预览);
  const int height = std::max(status.height(), progress_->fontMetrics().height() + 2);
  const int width = 240;
  progress_->setGeometry(form_->分组框预览->width() - width - 12,
                         status.center().y() - height / 2 + 1, width, height);
  progress_->raise();
}

}  // namespace gw::app
