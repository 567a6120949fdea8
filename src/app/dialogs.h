// Every dialog and message box of the desktop program goes through this interface, so that tests
// can answer them. QtDialogs shows the real ones.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace gw::app {

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // A file dialog for existing files. `filter` is in Qt's form ("A (*.txt);;B (*)").
  // Empty when the user cancels.
  virtual QStringList openFiles(QWidget* parent, const QString& title, const QString& filter,
                                const QString& folder, bool multiple) = 0;
  // A folder chooser opening on `initialFolder` (none when empty). Empty when cancelled.
  virtual QString chooseFolder(QWidget* parent, const QString& title,
                               const QString& initialFolder) = 0;
  // A message box with one OK button; waits until it is closed.
  virtual void information(QWidget* parent, const QString& title, const QString& text) = 0;
  // A warning box (exclamation icon) with one OK button.
  virtual void warning(QWidget* parent, const QString& title, const QString& text) = 0;
  // OK / Cancel; true for OK.
  virtual bool confirm(QWidget* parent, const QString& title, const QString& text) = 0;
  // A question with Yes / No, No preselected; true for Yes.
  virtual bool ask(QWidget* parent, const QString& title, const QString& text) = 0;
  // The text-input dialog: shows `prompt` and `initialText`; the edited text when the user
  // confirms, nullopt when cancelled.
  virtual std::optional<QString> editText(QWidget* parent, const QString& title,
                                          const QString& prompt, const QString& initialText) = 0;
  // The text-input dialog showing a text that cannot be edited (the help). By default the
  // editing dialog, its result ignored.
  virtual void showText(QWidget* parent, const QString& title, const QString& prompt,
                        const QString& text) {
    (void)editText(parent, title, prompt, text);
  }
};

}  // namespace gw::app
