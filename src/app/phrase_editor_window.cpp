#include "app/phrase_editor_window.h"

#include <QCloseEvent>
#include <QFile>
#include <QLineEdit>
#include <QListWidgetItem>
#include <cmath>
#include <memory>

#include "app/qt_text.h"
#include "app/settings_model.h"
#include "app/window_placement.h"
#include "ui_phrase_editor_window.h"

namespace gw::app {
namespace {

const QString kInformation = QStringLiteral("信息：");
const QString kCrLf = QStringLiteral("\r\n");

}  // namespace

PhraseEditorWindow::PhraseEditorWindow(SettingsStore& settings, Dialogs& dialogs,
                                       QComboBox* phraseBox, QWidget* parent)
    : QWidget(parent, Qt::Window),
      settings_(settings),
      dialogs_(dialogs),
      phraseBox_(phraseBox),
      form_(std::make_unique<Ui::PhraseEditorWindowForm>()) {
  form_->setupUi(this);
  move(kAuxiliaryWindowPosition);
  connect(form_->按钮添加, &QPushButton::clicked, this, &PhraseEditorWindow::onAddClicked);
  connect(form_->按钮删除, &QPushButton::clicked, this, &PhraseEditorWindow::onDeleteClicked);
  connect(form_->按钮修改, &QPushButton::clicked, this, &PhraseEditorWindow::onModifyClicked);
  connect(form_->按钮清空, &QPushButton::clicked, this, &PhraseEditorWindow::onClearClicked);
  connect(form_->列表框词组列表, &QListWidget::itemDoubleClicked, this,
          &PhraseEditorWindow::onItemDoubleClicked);
  loadPhraseList();
}

PhraseEditorWindow::~PhraseEditorWindow() {
  if (!stored_) {
    storePhraseList();
  }
}

QStringList PhraseEditorWindow::phrases() const {
  QStringList list;
  const QListWidget& box = *form_->列表框词组列表;
  for (int row = 0; row < box.count(); ++row) {
    // Items show their line breaks as "\n"; the stored list holds CR LF.
    list.push_back(ToCrLf(box.item(row)->text()));
  }
  return list;
}

int PhraseEditorWindow::selectedIndex() const {
  const QList<QListWidgetItem*> selected = form_->列表框词组列表->selectedItems();
  return selected.isEmpty() ? -1 : form_->列表框词组列表->row(selected.front());
}

void PhraseEditorWindow::select(int row) {
  QListWidget& box = *form_->列表框词组列表;
  if (row >= 0 && row < box.count()) {
    box.setCurrentRow(row);
    box.scrollToItem(box.item(row));
  } else {
    box.clearSelection();
    box.setCurrentRow(-1);
  }
}

void PhraseEditorWindow::loadPhraseList() {
  settings_.setSection(Gbk("随机词组"));
  const QString stored = FromGbk(settings_.readText(Gbk("随机词组"), ""));
  QListWidget& box = *form_->列表框词组列表;
  box.clear();
  // A group typed with line breaks comes back as one item per line.
  if (!stored.isEmpty()) {
    for (const QString& phrase : stored.split(kCrLf)) {
      box.addItem(ToLf(phrase));
    }
  }
  const double index = std::trunc(settings_.readNumber(Gbk("词组索引"), selectedIndex()));
  select(index >= 0 && index < box.count() ? static_cast<int>(index) : -1);
}

bool PhraseEditorWindow::storePhraseList() {
  stored_ = true;
  return savePhraseList(settings_, phrases(), selectedIndex(), phraseBox_.data());
}

void PhraseEditorWindow::onAddClicked() {
  const std::optional<QString> text =
      dialogs_.editText(this, QStringLiteral("添加词组"), form_->标签2->text(),
                        QString::fromUtf16(kNewPhraseTemplate));
  if (!text) {
    return;
  }
  form_->列表框词组列表->addItem(ToLf(*text));
  select(form_->列表框词组列表->count() - 1);
}

void PhraseEditorWindow::onModifyClicked() {
  const int row = selectedIndex();
  if (row < 0) {
    dialogs_.information(this, kInformation, QStringLiteral("请先选择一个项目再修改"));
    return;
  }
  QListWidgetItem* item = form_->列表框词组列表->item(row);
  const std::optional<QString> text = dialogs_.editText(this, QStringLiteral("修改词组"),
                                                        form_->标签2->text(), ToCrLf(item->text()));
  if (text) {
    item->setText(ToLf(*text));
  }
}

void PhraseEditorWindow::onDeleteClicked() {
  const int row = selectedIndex();
  if (row < 0) {
    dialogs_.information(this, kInformation, QStringLiteral("请先选择一个项目再删除"));
    return;
  }
  QListWidget& box = *form_->列表框词组列表;
  std::unique_ptr<QListWidgetItem>(box.takeItem(row)).reset();
  // The item that moved up takes the place; after the last item, the new last one.
  select(row < box.count() ? row : box.count() - 1);
}

void PhraseEditorWindow::onClearClicked() {
  if (dialogs_.confirm(this, kInformation, QStringLiteral("确定要清空全部项目吗？"))) {
    form_->列表框词组列表->clear();
  }
}

void PhraseEditorWindow::onItemDoubleClicked(QListWidgetItem* item) {
  if (!item) {
    return;
  }
  const QString text = ToCrLf(item->text());
  if (!storePhraseList()) {
    reportNotStored();
  }
  if (phraseBox_) {
    phraseBox_->setEditText(text);
    if (QLineEdit* line = phraseBox_->lineEdit()) {
      line->setCursorPosition(0);  // a long group shows its beginning
    }
  }
  close();
}

void PhraseEditorWindow::reportNotStored() {
  dialogs_.information(this, kInformation,
                       QStringLiteral("设置文件未能写入，词组列表未能保存。\n") +
                           QFile::decodeName(settings_.currentPath().c_str()));
}

void PhraseEditorWindow::showEvent(QShowEvent* event) {
  stored_ = false;  // shown again, the window stores again when it closes
  QWidget::showEvent(event);
}

void PhraseEditorWindow::closeEvent(QCloseEvent* event) {
  // A double-click has just stored the list.
  if (!stored_ && !storePhraseList()) {
    reportNotStored();
  }
  QWidget::closeEvent(event);
}

}  // namespace gw::app
