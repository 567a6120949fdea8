// The main window's settings: section "基本配置" (every stored option, through the engine's option
// table) and section "随机词组" (the random-phrase list behind the insert-words box).
#pragma once

#include <QStringList>

#include "settings/settings_store.h"

class QComboBox;
class QWidget;

namespace gw::app {

// Writes every stored option from the window's controls, in save order, as one batch. False when
// the file did not take them.
bool saveMainSettings(SettingsStore& store, QWidget& window);
// Reads every stored option into the window's controls; absent or empty entries keep the
// control's value.
void loadMainSettings(SettingsStore& store, QWidget& window);

// Writes the phrase list (joined with CR LF) and the selected row to "随机词组", then refills
// `combo` when given. False when the file did not take them.
bool savePhraseList(SettingsStore& store, const QStringList& phrases, int selectedIndex,
                    QComboBox* combo);
// Fills the insert-words box with the stored phrases, in order; its own text stays as it is.
void loadPhraseCombo(SettingsStore& store, QComboBox& combo);

}  // namespace gw::app
