#include "app/control_persistence.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QWidget>

#include "app/control_access.h"
#include "app/digit_spin_box.h"
#include "app_test_support.h"

namespace gw::app {
namespace {

using testing::G;
using testing::ReadBytes;
using testing::TempFolder;

template <class Control>
Control* Add(QWidget& window, const char* name) {
  auto* control = new Control(&window);  // owned by the window
  control->setObjectName(QString::fromUtf8(name));
  return control;
}

class ControlPersistenceTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(store_.setPath(folder_ / "s.ini", 0)); }
  std::string file() const { return ReadBytes(folder_ / "s.ini"); }

  TempFolder folder_;
  SettingsStore store_;
};

TEST(ControlNames, NameTheirKindByTheirFirstCharacters) {
  const std::vector<std::pair<const char*, ControlKind>> rows = {
      {"按钮选择文件", ControlKind::Button},
      {"编辑框源消息", ControlKind::EditBox},
      {"选择框插入词", ControlKind::CheckBox},
      {"单选框换行符", ControlKind::Radio},
      {"组合框编码", ControlKind::ComboBox},
      {"列表框词组列表", ControlKind::ListBox},
      {"选择列表框任务", ControlKind::CheckList},
      {"颜色选择器背景", ControlKind::Colour},
      {"分组框预览", ControlKind::None},
      {"标签16", ControlKind::None},
      {"按", ControlKind::None},
      {"", ControlKind::None},
  };
  for (const auto& [name, kind] : rows) {
    EXPECT_EQ(ClassifyControlName(QString::fromUtf8(name)), kind) << name;
  }
}

TEST_F(ControlPersistenceTest, TheWalkSavesEachControlByItsKindAndSkipsMisnamedAndForbiddenOnes) {
  QWidget window;
  Add<QCheckBox>(window, "选择框甲")->setChecked(true);
  Add<QLineEdit>(window, "编辑框乙")->setText("一行");
  Add<QPlainTextEdit>(window, "编辑框多行")->setPlainText("上\n下");
  Add<QSpinBox>(window, "编辑框数")->setValue(7);
  Add<DigitSpinBox>(window, "编辑框字数")->setText("150");
  auto* words = Add<QComboBox>(window, "编辑框词");  // an edit-box name on a combo box
  words->setEditable(true);
  words->setEditText("词1|词2");
  auto* combo = Add<QComboBox>(window, "组合框丙");
  combo->addItems({"零", "一", "二"});
  combo->setCurrentIndex(2);
  auto* never = Add<QLineEdit>(window, "编辑框不存");
  never->setText("x");
  SetControlTag(*never, QString::fromUtf16(kTagNeverSave));
  auto* bytes = Add<QLineEdit>(window, "编辑框字节");
  bytes->setText("放进字节文件");
  SetControlTag(*bytes, QString::fromUtf16(kTagBytesMode));
  auto* button = Add<QPushButton>(window, "按钮丁");
  SetControlTag(*button, "/home/用户/a.txt");
  Add<QLineEdit>(window, "编辑框除外")->setText("除外");

  syncWindowControls(store_, window, false, G("窗口"), {QStringLiteral("编辑框除外")});

  const std::string saved = file();
  EXPECT_NE(saved.find(G("选择框甲=真")), std::string::npos);
  EXPECT_NE(saved.find(G("编辑框乙=一行")), std::string::npos);
  EXPECT_NE(saved.find(G("编辑框多行=上┊*┊下")), std::string::npos);
  EXPECT_NE(saved.find(G("编辑框数=7")), std::string::npos);
  EXPECT_NE(saved.find(G("编辑框字数=150")), std::string::npos);
  EXPECT_NE(saved.find(G("组合框丙=2")), std::string::npos);
  EXPECT_NE(saved.find(G("按钮丁.标记=/home/用户/a.txt")), std::string::npos);
  EXPECT_EQ(saved.find(G("编辑框词")), std::string::npos);
  EXPECT_EQ(saved.find(G("编辑框不存")), std::string::npos);
  EXPECT_EQ(saved.find(G("编辑框除外")), std::string::npos);
  EXPECT_EQ(saved.find(G("编辑框字节=")), std::string::npos);
  store_.setSection(G("窗口"));
  EXPECT_EQ(store_.readBytes(G("编辑框字节"), ""), G("放进字节文件"));

  // Restored into a fresh copy of the form, every saved control comes back.
  QWidget copy;
  auto* check = Add<QCheckBox>(copy, "选择框甲");
  auto* line = Add<QLineEdit>(copy, "编辑框乙");
  auto* multi = Add<QPlainTextEdit>(copy, "编辑框多行");
  auto* spin = Add<QSpinBox>(copy, "编辑框数");
  auto* digits = Add<DigitSpinBox>(copy, "编辑框字数");
  auto* combo2 = Add<QComboBox>(copy, "组合框丙");
  combo2->addItems({"零", "一", "二"});
  auto* bytes2 = Add<QLineEdit>(copy, "编辑框字节");
  SetControlTag(*bytes2, QString::fromUtf16(kTagBytesMode));
  auto* never2 = Add<QLineEdit>(copy, "编辑框不存");
  never2->setText("form");
  SetControlTag(*never2, QString::fromUtf16(kTagNeverSave));
  auto* button2 = Add<QPushButton>(copy, "按钮丁");
  syncWindowControls(store_, copy, true, G("窗口"));
  EXPECT_TRUE(check->isChecked());
  EXPECT_EQ(line->text(), "一行");
  EXPECT_EQ(multi->toPlainText(), "上\n下");
  EXPECT_EQ(spin->value(), 7);
  EXPECT_EQ(digits->text(), "150");
  EXPECT_EQ(combo2->currentIndex(), 2);
  EXPECT_EQ(bytes2->text(), "放进字节文件");
  EXPECT_EQ(never2->text(), "form");
  EXPECT_EQ(ControlTag(*button2), "/home/用户/a.txt");

  // A control the walk must not touch can still be saved on its own.
  EXPECT_TRUE(saveEditBox(store_, *never2, false));
  EXPECT_NE(file().find(G("编辑框不存=form")), std::string::npos);
}

TEST_F(ControlPersistenceTest, AbsentKeysKeepTheFormState) {
  store_.setSection(G("窗口"));
  QCheckBox checked;
  checked.setObjectName("选择框甲");
  checked.setChecked(true);
  EXPECT_TRUE(restoreCheckBox(store_, checked));
  QRadioButton radio;
  radio.setObjectName("单选框乙");
  EXPECT_FALSE(restoreRadio(store_, radio));
  QSpinBox spin;
  spin.setObjectName("编辑框数");
  spin.setValue(10);
  restoreEditBox(store_, spin, false);
  EXPECT_EQ(spin.value(), 10);
}

TEST_F(ControlPersistenceTest, ListsKeepTheirItemsAndSelections) {
  store_.setSection(G("窗口"));
  QListWidget list;
  list.setObjectName("列表框词组");
  list.setSelectionMode(QAbstractItemView::MultiSelection);
  list.addItems({"甲", "", "丙|http://example.com/"});
  list.item(0)->setSelected(true);
  list.item(2)->setSelected(true);
  ASSERT_TRUE(saveListBox(store_, list));
  EXPECT_NE(file().find(G("列表框词组.选中=0,2")), std::string::npos);

  QListWidget copy;
  copy.setObjectName("列表框词组");
  copy.setSelectionMode(QAbstractItemView::MultiSelection);
  copy.addItems({"旧的"});
  restoreListBox(store_, copy);
  ASSERT_EQ(copy.count(), 3);
  EXPECT_EQ(copy.item(1)->text(), "");
  EXPECT_EQ(copy.item(2)->text(), "丙|http://example.com/");
  EXPECT_TRUE(copy.item(0)->isSelected());
  EXPECT_FALSE(copy.item(1)->isSelected());
  EXPECT_TRUE(copy.item(2)->isSelected());

  // An emptied list is stored as empty, not as absent.
  list.clear();
  ASSERT_TRUE(saveListBox(store_, list));
  restoreListBox(store_, copy);
  EXPECT_EQ(copy.count(), 0);

  // A check list: items, current row and ticks.
  QListWidget ticks;
  ticks.setObjectName("选择列表框任务");
  for (const char* text : {"一", "二", "三"}) {
    ticks.addItem(QString::fromUtf8(text));
    ticks.item(ticks.count() - 1)->setCheckState(Qt::Unchecked);
  }
  ticks.item(1)->setCheckState(Qt::Checked);
  ticks.item(2)->setCheckState(Qt::Checked);
  ticks.setCurrentRow(2);
  ASSERT_TRUE(saveCheckList(store_, ticks));
  EXPECT_NE(file().find(G("选择列表框任务.打勾=1,2")), std::string::npos);
  QListWidget ticksCopy;
  ticksCopy.setObjectName("选择列表框任务");
  restoreCheckList(store_, ticksCopy);
  ASSERT_EQ(ticksCopy.count(), 3);
  EXPECT_EQ(ticksCopy.currentRow(), 2);
  EXPECT_EQ(ticksCopy.item(0)->checkState(), Qt::Unchecked);
  EXPECT_EQ(ticksCopy.item(2)->checkState(), Qt::Checked);
}

TEST_F(ControlPersistenceTest, ComboListsComeBackBeforeTheirSelectionAndKeepTheEditText) {
  QWidget window;
  auto* combo = Add<QComboBox>(window, "组合框词");
  combo->setEditable(true);
  combo->addItems({"a", "b", "c"});
  combo->setCurrentIndex(1);
  combo->setEditText("typed");
  syncWindowControls(store_, window, false, G("窗口"), {}, true, true);

  QWidget copy;
  auto* combo2 = Add<QComboBox>(copy, "组合框词");
  combo2->setEditable(true);
  syncWindowControls(store_, copy, true, G("窗口"), {}, true, true);
  ASSERT_EQ(combo2->count(), 3);
  EXPECT_EQ(combo2->currentIndex(), 1);
  EXPECT_EQ(combo2->currentText(), "typed");
}

TEST_F(ControlPersistenceTest, PlacementKeepsEdgesOnlyForANormalWindow) {
  QWidget window;
  window.setGeometry(40, 50, 300, 200);
  saveWindowPlacement(store_, window, "");
  const std::string normal = file();
  EXPECT_NE(normal.find(G("[主界面.尺寸]")), std::string::npos);
  EXPECT_NE(normal.find(G("位置=0")), std::string::npos);
  EXPECT_NE(normal.find(G("宽度=300")), std::string::npos);
  EXPECT_NE(normal.find(G("顶边=50")), std::string::npos);

  QWidget copy;
  copy.setGeometry(0, 0, 100, 100);
  restoreWindowPlacement(store_, copy, "");
  EXPECT_EQ(copy.geometry(), QRect(40, 50, 300, 200));

  // Maximised: only the state is written; restoring applies it and no edges.
  TempFolder other;
  SettingsStore store;
  ASSERT_TRUE(store.setPath(other / "s.ini", 0));
  QWidget big;
  big.setWindowState(Qt::WindowMaximized);
  saveWindowPlacement(store, big, G("编辑器"));
  const std::string maximised = ReadBytes(other / "s.ini");
  EXPECT_NE(maximised.find(G("[编辑器.尺寸]\r\n位置=3")), std::string::npos);
  EXPECT_EQ(maximised.find(G("左边")), std::string::npos);
  QWidget restored;
  restored.setGeometry(10, 10, 120, 90);
  restoreWindowPlacement(store, restored, G("编辑器"));
  EXPECT_TRUE(restored.windowState() & Qt::WindowMaximized);
}

}  // namespace
}  // namespace gw::app
