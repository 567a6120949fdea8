#include "app/control_persistence.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QListWidget>
#include <QRadioButton>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "app/control_access.h"
#include "app/qt_text.h"

namespace gw::app {
namespace {

// Item lists in byte files: "GWL1", the item count, then every item as its byte length and its
// GBK bytes; all numbers 32-bit little-endian. The header keeps an empty list from being an
// empty file (which reads as absent).
constexpr std::string_view kListMagic = "GWL1";

void AppendNumber(std::string& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  }
}

bool TakeNumber(std::string_view& in, std::uint32_t& value) {
  if (in.size() < 4) {
    return false;
  }
  value = 0;
  for (int i = 0; i < 4; ++i) {
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[i])) << (8 * i);
  }
  in.remove_prefix(4);
  return true;
}

std::string EncodeList(const QStringList& items) {
  std::string out(kListMagic);
  AppendNumber(out, static_cast<std::uint32_t>(items.size()));
  for (const QString& item : items) {
    const std::string bytes = ToGbk(item);
    AppendNumber(out, static_cast<std::uint32_t>(bytes.size()));
    out += bytes;
  }
  return out;
}

std::optional<QStringList> DecodeList(std::string_view in) {
  if (!in.starts_with(kListMagic)) {
    return std::nullopt;
  }
  in.remove_prefix(kListMagic.size());
  std::uint32_t count = 0;
  if (!TakeNumber(in, count)) {
    return std::nullopt;
  }
  QStringList items;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint32_t length = 0;
    if (!TakeNumber(in, length) || length > in.size()) {
      return std::nullopt;
    }
    items.append(FromGbk(in.substr(0, length)));
    in.remove_prefix(length);
  }
  return items;
}

QString JoinIndices(const std::vector<int>& indices) {
  QStringList parts;
  for (int index : indices) {
    parts.append(QString::number(index));
  }
  return parts.join(QChar(','));
}

std::vector<int> SplitIndices(const QString& text) {
  std::vector<int> indices;
  for (const QString& part : text.split(QChar(','), Qt::SkipEmptyParts)) {
    bool ok = false;
    const int index = part.trimmed().toInt(&ok);
    if (ok && index >= 0) {
      indices.push_back(index);
    }
  }
  return indices;
}

QStringList ListItems(const QListWidget& list) {
  QStringList items;
  for (int row = 0; row < list.count(); ++row) {
    items.append(list.item(row)->text());
  }
  return items;
}

QStringList ComboItems(const QComboBox& combo) {
  QStringList items;
  for (int i = 0; i < combo.count(); ++i) {
    items.append(combo.itemText(i));
  }
  return items;
}

// Replaces a list widget's items when the stored list differs, keeping the item flags of a
// check list (new items are checkable there).
void SetListItems(QListWidget& list, const QStringList& items, bool checkable) {
  if (ListItems(list) == items) {
    return;
  }
  list.clear();
  for (const QString& text : items) {
    list.addItem(text);
    if (checkable) {
      QListWidgetItem* item = list.item(list.count() - 1);
      item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
      item->setCheckState(Qt::Unchecked);
    }
  }
}

std::string Suffixed(const QObject& control, std::string_view suffixUtf8) {
  return ControlKey(control) + Gbk(suffixUtf8);
}

bool WriteText(SettingsStore& store, const std::string& key, const QString& text, bool bytes) {
  return bytes ? store.writeBytes(key, ToGbk(text)) : store.writeText(key, ToGbk(text));
}

QString ReadText(SettingsStore& store, const std::string& key, const QString& current, bool bytes) {
  const std::string fallback = ToGbk(current);
  return FromGbk(bytes ? store.readBytes(key, fallback) : store.readText(key, fallback));
}

double ColourNumber(const QColor& colour) {
  return colour.red() + colour.green() * 256.0 + colour.blue() * 65536.0;
}

QColor NumberColour(double number) {
  const auto value = static_cast<std::uint32_t>(std::clamp(number, 0.0, 16777215.0));
  return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

void SyncCombo(SettingsStore& store, QComboBox& combo, bool restore, bool withList, bool withText) {
  if (!restore) {
    saveComboIndex(store, combo);
    if (withList) {
      saveComboList(store, combo);
    }
    if (withText) {
      saveComboText(store, combo);
    }
    return;
  }
  // The list first: replacing the items would drop a selection restored before it.
  if (withList) {
    restoreComboList(store, combo);
  }
  restoreComboIndex(store, combo);
  if (withText) {
    restoreComboText(store, combo);
  }
}

void SyncControl(SettingsStore& store, QWidget& control, ControlKind kind, bool restore,
                 bool bytesMode, bool withComboLists, bool withComboContents) {
  switch (kind) {
    case ControlKind::Button: {
      auto& button = static_cast<QAbstractButton&>(control);
      restore ? restoreButtonTag(store, button, bytesMode)
              : static_cast<void>(saveButtonTag(store, button, bytesMode));
      break;
    }
    case ControlKind::EditBox:
      restore ? restoreEditBox(store, control, bytesMode)
              : static_cast<void>(saveEditBox(store, control, bytesMode));
      break;
    case ControlKind::CheckBox: {
      auto& box = static_cast<QAbstractButton&>(control);
      restore ? static_cast<void>(restoreCheckBox(store, box))
              : static_cast<void>(saveCheckBox(store, box));
      break;
    }
    case ControlKind::Radio: {
      auto& radio = static_cast<QAbstractButton&>(control);
      restore ? static_cast<void>(restoreRadio(store, radio))
              : static_cast<void>(saveRadio(store, radio));
      break;
    }
    case ControlKind::ComboBox:
      SyncCombo(store, static_cast<QComboBox&>(control), restore, withComboLists,
                withComboContents);
      break;
    case ControlKind::ListBox: {
      auto& list = static_cast<QListWidget&>(control);
      restore ? restoreListBox(store, list) : static_cast<void>(saveListBox(store, list));
      break;
    }
    case ControlKind::CheckList: {
      auto& list = static_cast<QListWidget&>(control);
      restore ? restoreCheckList(store, list) : static_cast<void>(saveCheckList(store, list));
      break;
    }
    case ControlKind::Colour:
      restore ? restoreColour(store, control) : static_cast<void>(saveColour(store, control));
      break;
    case ControlKind::None:
      break;
  }
}

}  // namespace

ControlKind ClassifyControlName(const QString& name) {
  struct Prefix {
    const char16_t* word;
    ControlKind kind;
  };
  // Two-, three- and five-character kind words; "选择列表框" does not start with "选择框".
  static const Prefix kPrefixes[] = {
      {u"按钮", ControlKind::Button},          {u"编辑框", ControlKind::EditBox},
      {u"选择框", ControlKind::CheckBox},      {u"单选框", ControlKind::Radio},
      {u"组合框", ControlKind::ComboBox},      {u"列表框", ControlKind::ListBox},
      {u"选择列表框", ControlKind::CheckList}, {u"颜色选择器", ControlKind::Colour},
  };
  for (const Prefix& prefix : kPrefixes) {
    if (name.startsWith(QString::fromUtf16(prefix.word))) {
      return prefix.kind;
    }
  }
  return ControlKind::None;
}

ControlKind ControlKindOf(const QWidget& widget) {
  const ControlKind kind = ClassifyControlName(widget.objectName());
  bool fits = false;
  switch (kind) {
    case ControlKind::Button:
      fits = qobject_cast<const QAbstractButton*>(&widget) != nullptr;
      break;
    case ControlKind::EditBox:
      fits = IsEditBox(widget);
      break;
    case ControlKind::CheckBox:
      fits = qobject_cast<const QCheckBox*>(&widget) != nullptr;
      break;
    case ControlKind::Radio:
      fits = qobject_cast<const QRadioButton*>(&widget) != nullptr;
      break;
    case ControlKind::ComboBox:
      fits = qobject_cast<const QComboBox*>(&widget) != nullptr;
      break;
    case ControlKind::ListBox:
    case ControlKind::CheckList:
      fits = qobject_cast<const QListWidget*>(&widget) != nullptr;
      break;
    case ControlKind::Colour:
      fits = widget.property(kColourProperty).canConvert<QColor>();
      break;
    case ControlKind::None:
      break;
  }
  return fits ? kind : ControlKind::None;
}

std::string ControlKey(const QObject& control) {
  return ToGbk(control.objectName());
}

bool saveMenuCheck(SettingsStore& store, const QAction& item) {
  return store.writeBool(ToGbk(item.text()), item.isChecked());
}

bool restoreMenuCheck(SettingsStore& store, QAction& item) {
  item.setChecked(store.readBool(ToGbk(item.text()), item.isChecked()));
  return item.isChecked();
}

bool saveCheckBox(SettingsStore& store, const QAbstractButton& box) {
  return store.writeBool(ControlKey(box), box.isChecked());
}

bool restoreCheckBox(SettingsStore& store, QAbstractButton& box) {
  box.setChecked(store.readBool(ControlKey(box), box.isChecked()));
  return box.isChecked();
}

bool saveEditBox(SettingsStore& store, const QWidget& box, bool bytesMode) {
  return WriteText(store, ControlKey(box), EditBoxText(box), bytesMode);
}

void restoreEditBox(SettingsStore& store, QWidget& box, bool bytesMode) {
  SetEditBoxText(box, ReadText(store, ControlKey(box), EditBoxText(box), bytesMode));
}

bool saveCheckList(SettingsStore& store, const QListWidget& list) {
  std::vector<int> ticked;
  for (int row = 0; row < list.count(); ++row) {
    if (list.item(row)->checkState() == Qt::Checked) {
      ticked.push_back(row);
    }
  }
  const bool items = store.writeBytes(ControlKey(list), EncodeList(ListItems(list)));
  const bool current = store.writeNumber(Suffixed(list, ".选中"), list.currentRow());
  const bool ticks = store.writeText(Suffixed(list, ".打勾"), ToGbk(JoinIndices(ticked)));
  return items && current && ticks;
}

void restoreCheckList(SettingsStore& store, QListWidget& list) {
  if (const auto items =
          DecodeList(store.readBytes(ControlKey(list), EncodeList(ListItems(list))))) {
    SetListItems(list, *items, true);
  }
  const double current = store.readNumber(Suffixed(list, ".选中"), list.currentRow());
  if (current >= -1 && current < list.count()) {
    list.setCurrentRow(static_cast<int>(current));
  }
  std::vector<int> ticked;
  for (int row = 0; row < list.count(); ++row) {
    if (list.item(row)->checkState() == Qt::Checked) {
      ticked.push_back(row);
    }
  }
  const std::vector<int> stored =
      SplitIndices(FromGbk(store.readText(Suffixed(list, ".打勾"), ToGbk(JoinIndices(ticked)))));
  for (int row = 0; row < list.count(); ++row) {
    const bool tick = std::find(stored.begin(), stored.end(), row) != stored.end();
    list.item(row)->setCheckState(tick ? Qt::Checked : Qt::Unchecked);
  }
}

bool saveComboList(SettingsStore& store, const QComboBox& combo) {
  return store.writeBytes(Suffixed(combo, ".列表"), EncodeList(ComboItems(combo)));
}

void restoreComboList(SettingsStore& store, QComboBox& combo) {
  const QStringList current = ComboItems(combo);
  const auto items = DecodeList(store.readBytes(Suffixed(combo, ".列表"), EncodeList(current)));
  if (!items || *items == current) {
    return;
  }
  // Replacing the items of an editable box must not change its text.
  const QString text = combo.currentText();
  combo.clear();
  combo.addItems(*items);
  if (combo.isEditable()) {
    combo.setCurrentIndex(-1);
    combo.setEditText(text);
  }
}

bool saveListBox(SettingsStore& store, const QListWidget& list) {
  std::vector<int> selected;
  for (int row = 0; row < list.count(); ++row) {
    if (list.item(row)->isSelected()) {
      selected.push_back(row);
    }
  }
  const bool items = store.writeBytes(ControlKey(list), EncodeList(ListItems(list)));
  const bool selection = store.writeText(Suffixed(list, ".选中"), ToGbk(JoinIndices(selected)));
  return items && selection;
}

void restoreListBox(SettingsStore& store, QListWidget& list) {
  if (const auto items =
          DecodeList(store.readBytes(ControlKey(list), EncodeList(ListItems(list))))) {
    SetListItems(list, *items, false);
  }
  std::vector<int> selected;
  for (int row = 0; row < list.count(); ++row) {
    if (list.item(row)->isSelected()) {
      selected.push_back(row);
    }
  }
  const std::vector<int> stored =
      SplitIndices(FromGbk(store.readText(Suffixed(list, ".选中"), ToGbk(JoinIndices(selected)))));
  for (int row = 0; row < list.count(); ++row) {
    list.item(row)->setSelected(std::find(stored.begin(), stored.end(), row) != stored.end());
  }
}

bool saveComboIndex(SettingsStore& store, const QComboBox& combo) {
  return store.writeNumber(ControlKey(combo), combo.currentIndex());
}

void restoreComboIndex(SettingsStore& store, QComboBox& combo) {
  const double index = std::trunc(store.readNumber(ControlKey(combo), combo.currentIndex()));
  // An index that names no item keeps the selection.
  if (index >= 0 && index < combo.count()) {
    combo.setCurrentIndex(static_cast<int>(index));
  }
}

bool saveComboText(SettingsStore& store, const QComboBox& combo) {
  return store.writeText(Suffixed(combo, ".内容"), ToGbk(combo.currentText()));
}

void restoreComboText(SettingsStore& store, QComboBox& combo) {
  const QString text =
      FromGbk(store.readText(Suffixed(combo, ".内容"), ToGbk(combo.currentText())));
  if (combo.isEditable()) {
    combo.setEditText(text);
  } else if (const int index = combo.findText(text); index >= 0) {
    combo.setCurrentIndex(index);
  }
}

bool saveButtonTag(SettingsStore& store, const QAbstractButton& button, bool bytesMode) {
  return WriteText(store, Suffixed(button, ".标记"), ControlTag(button), bytesMode);
}

void restoreButtonTag(SettingsStore& store, QAbstractButton& button, bool bytesMode) {
  SetControlTag(button, ReadText(store, Suffixed(button, ".标记"), ControlTag(button), bytesMode));
}

bool saveColour(SettingsStore& store, const QWidget& picker) {
  return store.writeNumber(ControlKey(picker),
                           ColourNumber(picker.property(kColourProperty).value<QColor>()));
}

void restoreColour(SettingsStore& store, QWidget& picker) {
  const QColor current = picker.property(kColourProperty).value<QColor>();
  picker.setProperty(kColourProperty,
                     NumberColour(store.readNumber(ControlKey(picker), ColourNumber(current))));
}

bool saveRadio(SettingsStore& store, const QAbstractButton& radio) {
  return store.writeBool(ControlKey(radio), radio.isChecked());
}

bool restoreRadio(SettingsStore& store, QAbstractButton& radio) {
  radio.setChecked(store.readBool(ControlKey(radio), radio.isChecked()));
  return radio.isChecked();
}

void syncWindowControls(SettingsStore& store, QWidget& window, bool restore,
                        std::string_view section, const QStringList& exclusions,
                        bool withComboLists, bool withComboContents) {
  if (!section.empty()) {
    store.setSection(section);
  }
  for (QWidget* control : window.findChildren<QWidget*>()) {
    if (exclusions.contains(control->objectName())) {
      continue;
    }
    const ControlKind kind = ControlKindOf(*control);
    if (kind == ControlKind::None) {
      continue;
    }
    const QString tag = ControlTag(*control);
    if (tag == QString::fromUtf16(kTagNeverSave)) {
      continue;
    }
    const bool bytesMode = (kind == ControlKind::EditBox || kind == ControlKind::Button) &&
                           tag == QString::fromUtf16(kTagBytesMode);
    SyncControl(store, *control, kind, restore, bytesMode, withComboLists, withComboContents);
  }
}

int WindowStateNumber(const QWidget& window) {
  const Qt::WindowStates state = window.windowState();
  if (state & Qt::WindowMinimized) {
    return 2;
  }
  if (state & Qt::WindowFullScreen) {
    return 4;
  }
  if (state & Qt::WindowMaximized) {
    return 3;
  }
  return 0;
}

namespace {

void SelectPlacementSection(SettingsStore& store, std::string_view section) {
  const std::string name = section.empty() ? Gbk("主界面") : std::string(section);
  store.setSection(name + Gbk(".尺寸"));
}

Qt::WindowStates StateOfNumber(int number) {
  switch (number) {
    case 2:
      return Qt::WindowMinimized;
    case 3:
      return Qt::WindowMaximized;
    case 4:
      return Qt::WindowFullScreen;
    default:
      return Qt::WindowNoState;
  }
}

}  // namespace

void saveWindowPlacement(SettingsStore& store, const QWidget& window, std::string_view section) {
  SelectPlacementSection(store, section);
  SettingsStore::Batch batch(store);  // one file replacement for the five numbers
  const int state = WindowStateNumber(window);
  store.writeNumber(Gbk("位置"), state);
  if (state > 1) {
    return;
  }
  const QRect geometry = window.geometry();
  store.writeNumber(Gbk("左边"), geometry.x());
  store.writeNumber(Gbk("顶边"), geometry.y());
  store.writeNumber(Gbk("宽度"), geometry.width());
  store.writeNumber(Gbk("高度"), geometry.height());
}

void restoreWindowPlacement(SettingsStore& store, QWidget& window, std::string_view section) {
  SelectPlacementSection(store, section);
  const int state = static_cast<int>(store.readNumber(Gbk("位置"), WindowStateNumber(window)));
  window.setWindowState(StateOfNumber(state));
  if (state > 1) {
    return;
  }
  const QRect current = window.geometry();
  const auto read = [&](std::string_view key, int fallback) {
    return static_cast<int>(store.readNumber(Gbk(key), fallback));
  };
  const int left = read("左边", current.x());
  const int top = read("顶边", current.y());
  const int width = read("宽度", current.width());
  const int height = read("高度", current.height());
  if (width > 0 && height > 0) {
    window.setGeometry(left, top, width, height);
  }
}

}  // namespace gw::app
