// The real dialogs and message boxes of the desktop program.
#pragma once

#include "app/dialogs.h"

namespace gw::app {

class QtDialogs : public Dialogs {
 public:
  QStringList openFiles(QWidget* parent, const QString& title, const QString& filter,
                        const QString& folder, bool multiple) override;
  QString chooseFolder(QWidget* parent, const QString& title,
                       const QString& initialFolder) override;
  void information(QWidget* parent, const QString& title, const QString& text) override;
  void warning(QWidget* parent, const QString& title, const QString& text) override;
  bool confirm(QWidget* parent, const QString& title, const QString& text) override;
  bool ask(QWidget* parent, const QString& title, const QString& text) override;
  std::optional<QString> editText(QWidget* parent, const QString& title, const QString& prompt,
                                  const QString& initialText) override;
  void showText(QWidget* parent, const QString& title, const QString& prompt,
                const QString& text) override;
};

}  // namespace gw::app
