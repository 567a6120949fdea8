// The text-input dialog: a prompt line, the text being edited and a tool strip (restore the
// initial text, clear, paste) with OK and Cancel. Read-only, it only shows a text (the help).
#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPushButton;

namespace gw::app {

class TextInputDialog : public QDialog {
  Q_OBJECT

 public:
  TextInputDialog(QWidget* parent, const QString& title, const QString& prompt,
                  const QString& initialText, bool readOnly);

  QString text() const;
  bool changed() const;

 protected:
  void reject() override;  // asks before a changed text is discarded

 private:
  QString initialText_;
  bool readOnly_;
  QPlainTextEdit* body_ = nullptr;
};

}  // namespace gw::app
