// Saving and restoring the state of single controls in the settings store, under keys made from
// the controls' names, the walk over all controls of a window, and a window's placement.
//
// Every operation works in the store's current section (SettingsStore::setSection). A save reads
// the control and writes its value (true when it reached the file); a restore reads the value
// with the control's present state as the default and puts the result back, so an absent key
// leaves the control as it is. Keys are the controls' object names in GBK.
#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <string_view>

#include "settings/settings_store.h"

class QAbstractButton;
class QAction;
class QComboBox;
class QListWidget;
class QObject;
class QWidget;

namespace gw::app {

// The kind of control a name stands for, by the kind word it starts with.
enum class ControlKind {
  None,
  Button,     // 按钮
  EditBox,    // 编辑框
  CheckBox,   // 选择框
  Radio,      // 单选框
  ComboBox,   // 组合框
  ListBox,    // 列表框
  CheckList,  // 选择列表框
  Colour,     // 颜色选择器
};

ControlKind ClassifyControlName(const QString& name);
// The kind the walk treats a widget as: its name's kind when the widget is of that type, None
// otherwise (the combo box "编辑框词" is no edit box).
ControlKind ControlKindOf(const QWidget& widget);

// The key of a control: its object name as GBK.
std::string ControlKey(const QObject& control);

// Colour pickers are widgets with a QColor property of this name; the store keeps the colour as
// one number, red + green * 256 + blue * 65536.
inline constexpr char kColourProperty[] = "colour";

bool saveMenuCheck(SettingsStore& store, const QAction& item);  // key: the item's caption
bool restoreMenuCheck(SettingsStore& store, QAction& item);
bool saveCheckBox(SettingsStore& store, const QAbstractButton& box);
bool restoreCheckBox(SettingsStore& store, QAbstractButton& box);
// In bytes mode the text goes to a byte file of its own instead of the settings file.
bool saveEditBox(SettingsStore& store, const QWidget& box, bool bytesMode);
void restoreEditBox(SettingsStore& store, QWidget& box, bool bytesMode);
// Item list under the name (byte file), current row under name + ".选中", ticked rows under
// name + ".打勾" ("0,2").
bool saveCheckList(SettingsStore& store, const QListWidget& list);
void restoreCheckList(SettingsStore& store, QListWidget& list);
// Item list under name + ".列表" (byte file).
bool saveComboList(SettingsStore& store, const QComboBox& combo);
void restoreComboList(SettingsStore& store, QComboBox& combo);
// Item list under the name (byte file), selected rows under name + ".选中" ("0,2").
bool saveListBox(SettingsStore& store, const QListWidget& list);
void restoreListBox(SettingsStore& store, QListWidget& list);
bool saveComboIndex(SettingsStore& store, const QComboBox& combo);
void restoreComboIndex(SettingsStore& store, QComboBox& combo);
// The edit text under name + ".内容".
bool saveComboText(SettingsStore& store, const QComboBox& combo);
void restoreComboText(SettingsStore& store, QComboBox& combo);
// The tag under name + ".标记".
bool saveButtonTag(SettingsStore& store, const QAbstractButton& button, bool bytesMode);
void restoreButtonTag(SettingsStore& store, QAbstractButton& button, bool bytesMode);
bool saveColour(SettingsStore& store, const QWidget& picker);
void restoreColour(SettingsStore& store, QWidget& picker);
bool saveRadio(SettingsStore& store, const QAbstractButton& radio);
bool restoreRadio(SettingsStore& store, QAbstractButton& radio);

// Saves or restores every control of `window` (in creation order) whose name names its kind,
// except those named in `exclusions` and those tagged "禁止保存". Edit boxes and buttons tagged
// "字节集方式" use bytes mode. Combo boxes: the selected index, plus the item list and the edit
// text when asked for. `section` (GBK) is selected first unless empty.
void syncWindowControls(SettingsStore& store, QWidget& window, bool restore,
                        std::string_view section, const QStringList& exclusions = {},
                        bool withComboLists = false, bool withComboContents = false);

// The window's state number: 0 normal, 2 minimised, 3 maximised, 4 full screen.
int WindowStateNumber(const QWidget& window);

// Section `section` (GBK; empty: "主界面") + ".尺寸": "位置" the state number, and, while the
// state is 0 or 1, "左边", "顶边", "宽度", "高度" of the window's geometry.
void saveWindowPlacement(SettingsStore& store, const QWidget& window, std::string_view section);
void restoreWindowPlacement(SettingsStore& store, QWidget& window, std::string_view section);

}  // namespace gw::app
