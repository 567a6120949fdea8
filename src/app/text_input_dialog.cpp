#include "app/text_input_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

#include "app/dialogs.h"
#include "app/qt_text.h"
#include "app/window_placement.h"
#include "text/source_reader.h"

namespace gw::app {
namespace {

const QString kImportDialogTitle = QStringLiteral("选择一个文本文件，导入其文本数据");
const QString kTextFilter = QStringLiteral("txt文件 (*.txt);;全部文件 (*)");

QPushButton* AddButton(QWidget* parent, QHBoxLayout* row, const char* name, const QString& text) {
  auto* button = new QPushButton(text, parent);  // owned by its parent widget
  button->setObjectName(QString::fromUtf8(name));
  row->addWidget(button);
  return button;
}

}  // namespace

TextInputDialog::TextInputDialog(Dialogs& dialogs, QWidget* parent, const QString& title,
                                 const QString& prompt, const QString& initialText,
                                 TextInputMode mode)
    : QDialog(parent),
      dialogs_(dialogs),
      initialText_(initialText),
      readOnly_(mode == TextInputMode::ReadOnly) {
  setObjectName(QStringLiteral("文本输入对话框"));
  setWindowTitle(title);
  resize(495, 393);
  // Placed where the other auxiliary windows appear rather than centred over its owner.
  move(kAuxiliaryWindowPosition);

  auto* layout = new QVBoxLayout(this);
  auto* promptBox = new QPlainTextEdit(prompt, this);
  promptBox->setObjectName(QStringLiteral("编辑框提示"));
  promptBox->setReadOnly(true);
  promptBox->setFrameShape(QFrame::NoFrame);
  promptBox->setFocusPolicy(Qt::NoFocus);
  promptBox->viewport()->setAutoFillBackground(false);
  promptBox->setFixedHeight(promptBox->fontMetrics().lineSpacing() * 2 + 8);
  layout->addWidget(promptBox);

  body_ = new QPlainTextEdit(initialText, this);
  body_->setObjectName(QStringLiteral("编辑框正文"));
  body_->setReadOnly(readOnly_);
  body_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  layout->addWidget(body_, 1);

  auto* bottom = new QHBoxLayout;
  layout->addLayout(bottom);
  auto* strip = new QFrame(this);
  strip->setObjectName(QStringLiteral("外形框"));
  auto* tools = new QHBoxLayout(strip);
  tools->setContentsMargins(0, 0, 0, 0);
  QPushButton* restore = AddButton(strip, tools, "按钮恢复", QStringLiteral("恢复"));
  QPushButton* clear = AddButton(strip, tools, "按钮清空", QStringLiteral("清空"));
  QPushButton* paste = AddButton(strip, tools, "按钮粘贴", QStringLiteral("粘贴"));
  QPushButton* content = AddButton(strip, tools, "按钮文件", QStringLiteral("内容"));
  QPushButton* fileName = AddButton(strip, tools, "按钮文件名", QStringLiteral("文件名"));
  bottom->addWidget(strip);
  bottom->addStretch(1);
  QPushButton* ok = AddButton(this, bottom, "按钮确定", QStringLiteral("确定"));
  QPushButton* cancel = AddButton(this, bottom, "按钮取消", QStringLiteral("取消"));
  ok->setDefault(true);

  connect(restore, &QPushButton::clicked, this, [this] { body_->setPlainText(initialText_); });
  connect(clear, &QPushButton::clicked, body_, &QPlainTextEdit::clear);
  connect(paste, &QPushButton::clicked, this,
          [this] { body_->insertPlainText(QApplication::clipboard()->text()); });
  connect(content, &QPushButton::clicked, this, &TextInputDialog::importFileContent);
  connect(fileName, &QPushButton::clicked, this, &TextInputDialog::importFileName);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &TextInputDialog::reject);

  if (mode != TextInputMode::EditWithFileImport) {
    content->hide();
    fileName->hide();
  }
  if (readOnly_) {
    strip->hide();
    cancel->hide();
  }
}

QString TextInputDialog::text() const {
  return body_->toPlainText();
}

bool TextInputDialog::changed() const {
  return !readOnly_ && text() != initialText_;
}

void TextInputDialog::reject() {
  if (changed() &&
      !dialogs_.ask(this, windowTitle(), QStringLiteral("内容已被改动，是否要放弃？"))) {
    return;
  }
  QDialog::reject();
}

QString TextInputDialog::chooseImportFile() {
  const QStringList chosen =
      dialogs_.openFiles(this, kImportDialogTitle, kTextFilter, lastImportFile_, false);
  if (chosen.isEmpty()) {
    return {};
  }
  lastImportFile_ = chosen.front();
  return chosen.front();
}

void TextInputDialog::importFileContent() {
  const QString file = chooseImportFile();
  if (file.isEmpty()) {
    return;
  }
  // Read like a source: any of the usual encodings, found on its own.
  TextEncoding detected = TextEncoding::Gbk;
  const std::optional<std::string> content = ReadSourceTextIfReadable(
      std::filesystem::path(QFile::encodeName(file).toStdString()), TextEncoding::Auto, detected);
  if (!content) {
    dialogs_.information(this, QStringLiteral("信息："),
                         QStringLiteral("无法读取文件，文本未导入：\n") + file);
    return;
  }
  body_->insertPlainText(ToLf(FromGbk(*content)));
}

void TextInputDialog::importFileName() {
  const QString file = chooseImportFile();
  if (!file.isEmpty()) {
    body_->insertPlainText(file);
  }
}

}  // namespace gw::app
