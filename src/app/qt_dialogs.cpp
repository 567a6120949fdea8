#include "app/qt_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

#include "app/qt_text.h"
#include "app/text_input_dialog.h"

namespace gw::app {

QStringList QtDialogs::openFiles(QWidget* parent, const QString& title, const QString& filter,
                                 const QString& folder, bool multiple) {
  if (multiple) {
    return QFileDialog::getOpenFileNames(parent, title, folder, filter);
  }
  const QString file = QFileDialog::getOpenFileName(parent, title, folder, filter);
  return file.isEmpty() ? QStringList() : QStringList{file};
}

QString QtDialogs::chooseFolder(QWidget* parent, const QString& title,
                                const QString& initialFolder) {
  QString folder =
      QFileDialog::getExistingDirectory(parent, title, initialFolder, QFileDialog::ShowDirsOnly)
          .trimmed();
  // The chosen folder without a trailing separator (the root stays "/").
  while (folder.size() > 1 && folder.endsWith(QChar('/'))) {
    folder.chop(1);
  }
  return QDir::toNativeSeparators(folder);
}

void QtDialogs::information(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
  box.exec();
}

void QtDialogs::warning(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
  box.exec();
}

bool QtDialogs::confirm(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                  parent);
  return box.exec() == QMessageBox::Ok;
}

bool QtDialogs::ask(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtDialogs::editText(QWidget* parent, const QString& title,
                                           const QString& prompt, const QString& initialText) {
  TextInputDialog dialog(*this, parent, title, prompt, ToLf(initialText), TextInputMode::Edit);
  if (dialog.exec() != QDialog::Accepted) {
    return std::nullopt;
  }
  return dialog.text();
}

void QtDialogs::showText(QWidget* parent, const QString& title, const QString& prompt,
                         const QString& text) {
  TextInputDialog dialog(*this, parent, title, prompt, ToLf(text), TextInputMode::ReadOnly);
  dialog.exec();
}

}  // namespace gw::app
