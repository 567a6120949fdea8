#include "app/text_input_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace gw::app {
namespace {

QPushButton* AddButton(QWidget* parent, QHBoxLayout* row, const char* name, const QString& text) {
  auto* button = new QPushButton(text, parent);  // owned by its parent widget
  button->setObjectName(QString::fromUtf8(name));
  row->addWidget(button);
  return button;
}

}  // namespace

TextInputDialog::TextInputDialog(QWidget* parent, const QString& title, const QString& prompt,
                                 const QString& initialText, bool readOnly)
    : QDialog(parent), initialText_(initialText), readOnly_(readOnly) {
  setObjectName(QStringLiteral("文本输入对话框"));
  setWindowTitle(title);
  resize(495, 393);

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
  body_->setReadOnly(readOnly);
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
  bottom->addWidget(strip);
  bottom->addStretch(1);
  QPushButton* ok = AddButton(this, bottom, "按钮确定", QStringLiteral("确定"));
  QPushButton* cancel = AddButton(this, bottom, "按钮取消", QStringLiteral("取消"));
  ok->setDefault(true);

  connect(restore, &QPushButton::clicked, this, [this] { body_->setPlainText(initialText_); });
  connect(clear, &QPushButton::clicked, body_, &QPlainTextEdit::clear);
  connect(paste, &QPushButton::clicked, this,
          [this] { body_->insertPlainText(QApplication::clipboard()->text()); });
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &TextInputDialog::reject);

  if (readOnly) {
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
  if (changed() && QMessageBox::question(
                       this, windowTitle(), QStringLiteral("内容已被改动，是否要放弃？"),
                       QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes) {
    return;
  }
  QDialog::reject();
}

}  // namespace gw::app
