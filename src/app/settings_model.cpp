#include "app/settings_model.h"

#include <QComboBox>
#include <QWidget>

#include "app/option_binding.h"
#include "app/qt_text.h"
#include "engine/option_settings.h"

namespace gw::app {
namespace {

const std::string& PhraseSection() {
  static const std::string section = Gbk("随机词组");
  return section;
}

}  // namespace

bool saveMainSettings(SettingsStore& store, QWidget& window) {
  return SaveMainSettings(store, GatherOptions(window));
}

void loadMainSettings(SettingsStore& store, QWidget& window) {
  Options options = GatherOptions(window);
  LoadMainSettings(store, options);
  ApplyOptions(window, options);
}

bool savePhraseList(SettingsStore& store, const QStringList& phrases, int selectedIndex,
                    QComboBox* combo) {
  store.setSection(PhraseSection());
  bool written = false;
  {
    SettingsStore::Batch batch(store);
    const bool text = store.writeText(Gbk("随机词组"), ToGbk(phrases.join(QStringLiteral("\r\n"))));
    const bool index = store.writeNumber(Gbk("词组索引"), selectedIndex);
    written = batch.finish() && text && index;
  }
  if (combo) {
    loadPhraseCombo(store, *combo);
  }
  return written;
}

void loadPhraseCombo(SettingsStore& store, QComboBox& combo) {
  store.setSection(PhraseSection());
  const QString stored = FromGbk(store.readText(Gbk("随机词组"), ""));
  const QString text = combo.currentText();
  combo.clear();
  if (!stored.isEmpty()) {
    combo.addItems(stored.split(QStringLiteral("\r\n")));
  }
  // Adding the first item would show it in the box; the box keeps its own text.
  combo.setCurrentIndex(-1);
  combo.setEditText(text);
}

}  // namespace gw::app
