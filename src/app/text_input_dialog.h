// The text-input dialog: a prompt line, the text being edited and a tool strip (restore the
// initial text, clear, paste, and when the caller asks, import a text file's content or name)
// with OK and Cancel. Read-only, it only shows a text (the help).
#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPushButton;

namespace gw::app {

class Dialogs;

enum class TextInputMode {
  Edit,
  EditWithFileImport,  // also offers "内容" and "文件名"
  ReadOnly,
};

class TextInputDialog : public QDialog {
  Q_OBJECT

 public:
  // `dialogs` shows the file dialog and the question before a changed text is discarded.
  TextInputDialog(Dialogs& dialogs, QWidget* parent, const QString& title, const QString& prompt,
                  const QString& initialText, TextInputMode mode);

  QString text() const;
  bool changed() const;

 protected:
  void reject() override;  // asks before a changed text is discarded

 private:
  // The text file the user picks for import; empty when the dialog is cancelled.
  QString chooseImportFile();
  void importFileContent();
  void importFileName();

  Dialogs& dialogs_;
  QString initialText_;
  bool readOnly_;
  QPlainTextEdit* body_ = nullptr;
  QString lastImportFile_;
};

}  // namespace gw::app
