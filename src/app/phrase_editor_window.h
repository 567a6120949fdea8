// The random-phrase editor "随机词组编辑器": the list of phrase groups the main window's
// insert-words box offers, kept in section "随机词组" of the settings. The list is loaded when the
// window is made and stored when it closes (or an item is double-clicked, which also hands the
// item to the insert-words box).
#pragma once

#include <QComboBox>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>

#include "app/dialogs.h"
#include "settings/settings_store.h"

class QListWidgetItem;

namespace Ui {
class PhraseEditorWindowForm;
}

namespace gw::app {

// The initial text of a new phrase group.
inline constexpr char16_t kNewPhraseTemplate[] = u"词1|词2|词3|词4|词5|http://www.example.com/";

class PhraseEditorWindow : public QWidget {
  Q_OBJECT

 public:
  // `phraseBox` is the main window's insert-words box ("编辑框词"); its items follow the stored
  // list and a double-clicked item becomes its text. It may be null.
  PhraseEditorWindow(SettingsStore& settings, Dialogs& dialogs, QComboBox* phraseBox,
                     QWidget* parent = nullptr);
  // A window that goes away without having been closed (its owner is destroyed) stores its list
  // all the same.
  ~PhraseEditorWindow() override;

  QStringList phrases() const;
  // The selected row; -1 when nothing is selected.
  int selectedIndex() const;

 public slots:
  void onAddClicked();
  void onDeleteClicked();
  void onModifyClicked();
  void onClearClicked();
  void onItemDoubleClicked(QListWidgetItem* item);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void loadPhraseList();
  // Stores the list and its selection and refreshes the insert-words box.
  bool storePhraseList();
  void reportNotStored();
  void select(int row);

  SettingsStore& settings_;
  Dialogs& dialogs_;
  QPointer<QComboBox> phraseBox_;
  std::unique_ptr<Ui::PhraseEditorWindowForm> form_;
  bool stored_ = false;
};

}  // namespace gw::app
