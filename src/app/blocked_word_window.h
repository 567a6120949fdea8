// The blocked-word settings window "屏蔽词设置": the word-library file, how its words are
// separated, what replaces a blocked word and the library's encoding, kept in section
// "屏蔽词过滤器" of the settings. Its lower button runs the batch replacer over files the user
// picks, with the settings as they stand in the window, on a worker thread so that the window
// stays responsive while a large file is filtered.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>

#include "app/dialogs.h"
#include "engine/batch_replacer.h"
#include "settings/settings_store.h"

namespace Ui {
class BlockedWordWindowForm;
}

namespace gw::app {

// The window's title at rest and after a batch run.
inline constexpr char16_t kBlockedWordTitle[] = u"屏蔽词设置";
inline constexpr char16_t kBatchDoneTitle[] = u"屏蔽词替换器";

class BlockedWordWindow : public QWidget {
  Q_OBJECT

 public:
  // A window of its own (owned by `parent` when given) that loads its settings at once.
  BlockedWordWindow(SettingsStore& settings, Dialogs& dialogs, QWidget* parent = nullptr);
  // Waits for a batch run in progress; the files not yet started are skipped.
  ~BlockedWordWindow() override;

  // The settings as they stand in the window, saved or not.
  BatchReplaceSettings currentSettings() const;
  // True while a batch run is going on.
  bool batchRunning() const;

 public slots:
  void onChooseLibraryClicked();
  // Writes the settings and closes; a store that did not take them is explained and the window
  // stays open.
  void onSaveClicked();
  void onCancelClicked();
  void onBatchClicked();

 signals:
  // A batch run has ended and its summary has been shown.
  void batchFinished();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  class BatchRun;

  void loadSettings();
  bool saveSettings();
  QString whyNotSaved() const;
  // Reports of the batch run numbered `serial`; those of a run that has been abandoned are
  // dropped.
  bool isCurrentBatch(int serial) const;
  void onBatchFileStarted(int serial, const QString& title);
  void onBatchProblem(int serial, const QString& problem);
  void onBatchDone(int serial, int fileCount, const QStringList& failures);
  void stopBatch();

  SettingsStore& settings_;
  Dialogs& dialogs_;
  std::unique_ptr<Ui::BlockedWordWindowForm> form_;
  // The file the library dialog shows; preset on its first use in this window.
  QString libraryDialogFile_;
  std::unique_ptr<BatchRun> batch_;
  int batchSerial_ = 0;
};

// The library file the window offers when none is set: "屏蔽词库.txt" in the program's folder.
QString DefaultLibraryPath();

}  // namespace gw::app
