#include "app/phrase_editor_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

#include "app/main_window.h"
#include "app/settings_model.h"
#include "app_test_support.h"

namespace gw::app {
namespace {

using testing::FakeDialogs;
using testing::Find;
using testing::G;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WaitUntil;
using testing::WriteBytes;

// Dialogs whose text-input dialog and OK/Cancel box answer as the test says.
class AnsweringDialogs : public FakeDialogs {
 public:
  std::optional<QString> editText(QWidget* parent, const QString& title, const QString& prompt,
                                  const QString& initialText) override {
    FakeDialogs::editText(parent, title, prompt, initialText);
    if (editAnswers.empty()) {
      return std::nullopt;
    }
    std::optional<QString> answer = editAnswers.front();
    editAnswers.pop_front();
    return answer;
  }
  bool confirm(QWidget* parent, const QString& title, const QString& text) override {
    FakeDialogs::confirm(parent, title, text);
    return confirmAnswer;
  }

  std::deque<std::optional<QString>> editAnswers;  // empty: cancelled
  bool confirmAnswer = true;
};

class PhraseEditorTest : public ::testing::Test {
 protected:
  PhraseEditorTest() {
    store_.setPath(folder_ / "s.ini", 0);
    phraseBox_.setEditable(true);
    phraseBox_.setEditText("mine");
  }

  PhraseEditorWindow& open() {
    editor_ = std::make_unique<PhraseEditorWindow>(store_, dialogs_, &phraseBox_);
    editor_->show();
    return *editor_;
  }
  QListWidget& list() { return Find<QListWidget>(*editor_, "列表框词组列表"); }
  void click(const char* button) { Find<QPushButton>(*editor_, button).click(); }
  std::string file() const { return ReadBytes(folder_ / "s.ini"); }
  bool fileHas(std::string_view utf8) const { return file().find(G(utf8)) != std::string::npos; }
  // Stores `phrases` with `selected` as a closing editor would.
  void storeList(const QStringList& phrases, int selected) {
    ASSERT_TRUE(savePhraseList(store_, phrases, selected, nullptr));
  }

  TempFolder folder_;
  SettingsStore store_;
  AnsweringDialogs dialogs_;
  QComboBox phraseBox_;
  std::unique_ptr<PhraseEditorWindow> editor_;
};

TEST_F(PhraseEditorTest, AnEmptyStoredListOpensEmptyAndClosingStoresEmptyAndNoSelection) {
  PhraseEditorWindow& editor = open();
  EXPECT_EQ(editor.windowTitle(), "随机词组编辑器");
  EXPECT_EQ(list().count(), 0);  // the form's examples are gone
  EXPECT_EQ(editor.selectedIndex(), -1);
  EXPECT_EQ(file(), "");  // nothing is stored while the window is open
  editor.close();
  EXPECT_EQ(store_.readEntry(G("随机词组"), G("随机词组"), "absent", false), "");
  EXPECT_TRUE(fileHas("词组索引=-1"));
  EXPECT_EQ(phraseBox_.count(), 0);
  EXPECT_EQ(phraseBox_.currentText(), "mine");
}

TEST_F(PhraseEditorTest, TheStoredListAndSelectionComeBackAndClosingRefreshesTheInsertWordsBox) {
  storeList({"春|夏", "秋|冬|http://a.example/", "独词"}, 1);
  PhraseEditorWindow& editor = open();
  EXPECT_EQ(editor.phrases(), QStringList({"春|夏", "秋|冬|http://a.example/", "独词"}));
  EXPECT_EQ(editor.selectedIndex(), 1);

  list().setCurrentRow(2);
  dialogs_.editAnswers.push_back("新|词");
  click("按钮添加");
  editor.close();
  EXPECT_TRUE(fileHas("随机词组=春|夏┊*┊秋|冬|http://a.example/┊*┊独词┊*┊新|词"));
  EXPECT_TRUE(fileHas("词组索引=3"));  // the added group is selected
  ASSERT_EQ(phraseBox_.count(), 4);
  EXPECT_EQ(phraseBox_.itemText(3), "新|词");
  EXPECT_EQ(phraseBox_.currentText(), "mine");
}

TEST_F(PhraseEditorTest, AGroupTypedWithLineBreaksComesBackAsSeveralGroups) {
  open();
  dialogs_.editAnswers.push_back("甲|乙\n丙|丁");
  click("按钮添加");
  EXPECT_EQ(list().count(), 1);
  editor_->close();
  EXPECT_TRUE(fileHas("随机词组=甲|乙┊*┊丙|丁"));
  open();
  EXPECT_EQ(editor_->phrases(), QStringList({"甲|乙", "丙|丁"}));
}

TEST_F(PhraseEditorTest, AddingAsksWithTheExampleGroupAndACancelAddsNothing) {
  open();
  click("按钮添加");
  auto edits = dialogs_.of("edit");
  ASSERT_EQ(edits.size(), 1u);
  EXPECT_EQ(edits[0].text, "词1|词2|词3|词4|词5|http://www.example.com/");
  EXPECT_EQ(list().count(), 0);

  dialogs_.editAnswers.push_back("a|b");
  click("按钮添加");
  dialogs_.editAnswers.push_back("c|d");
  click("按钮添加");
  EXPECT_EQ(editor_->phrases(), QStringList({"a|b", "c|d"}));
}

TEST_F(PhraseEditorTest, ModifyAndDeleteWithoutASelectionSayWhatToDoAndChangeNothing) {
  storeList({"a", "b"}, -1);
  open();
  ASSERT_EQ(editor_->selectedIndex(), -1);
  click("按钮修改");
  click("按钮删除");
  const auto boxes = dialogs_.of("information");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].title, "信息：");
  EXPECT_EQ(boxes[0].text, "请先选择一个项目再修改");
  EXPECT_EQ(boxes[1].text, "请先选择一个项目再删除");
  EXPECT_TRUE(dialogs_.of("edit").empty());
  EXPECT_EQ(editor_->phrases(), QStringList({"a", "b"}));
}

TEST_F(PhraseEditorTest, ModifyEditsTheSelectedGroupInPlace) {
  storeList({"a", "b", "c"}, 1);
  open();
  click("按钮修改");  // cancelled
  dialogs_.editAnswers.push_back("B|B2");
  click("按钮修改");
  const auto edits = dialogs_.of("edit");
  ASSERT_EQ(edits.size(), 2u);
  EXPECT_EQ(edits[1].text, "b");
  EXPECT_EQ(editor_->phrases(), QStringList({"a", "B|B2", "c"}));
  EXPECT_EQ(editor_->selectedIndex(), 1);
}

TEST_F(PhraseEditorTest, DeletingSelectsTheGroupThatTakesThePlaceOrTheNewLastOne) {
  storeList({"a", "b", "c", "d"}, 1);
  open();
  click("按钮删除");  // "b": "c" moves up into the selection
  EXPECT_EQ(editor_->phrases(), QStringList({"a", "c", "d"}));
  EXPECT_EQ(editor_->selectedIndex(), 1);

  list().setCurrentRow(2);
  click("按钮删除");  // the last one: the new last one is selected
  EXPECT_EQ(editor_->phrases(), QStringList({"a", "c"}));
  EXPECT_EQ(editor_->selectedIndex(), 1);

  click("按钮删除");
  click("按钮删除");  // the only one: nothing is left to select
  EXPECT_TRUE(editor_->phrases().isEmpty());
  EXPECT_EQ(editor_->selectedIndex(), -1);
  EXPECT_TRUE(dialogs_.of("information").empty());
}

TEST_F(PhraseEditorTest, ClearingEmptiesTheListOnlyWhenConfirmed) {
  storeList({"a", "b"}, 0);
  open();
  dialogs_.confirmAnswer = false;
  click("按钮清空");
  EXPECT_EQ(list().count(), 2);
  dialogs_.confirmAnswer = true;
  click("按钮清空");
  EXPECT_EQ(list().count(), 0);
  const auto asked = dialogs_.of("confirm");
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].title, "信息：");
  EXPECT_EQ(asked[0].text, "确定要清空全部项目吗？");
}

TEST_F(PhraseEditorTest, DoubleClickStoresTheListHandsTheGroupOverAndCloses) {
  storeList({"a|b", "c|d|http://x.example/"}, 0);
  PhraseEditorWindow& editor = open();
  dialogs_.editAnswers.push_back("e");
  click("按钮添加");
  list().setCurrentRow(1);
  emit list().itemDoubleClicked(list().item(1));
  EXPECT_FALSE(editor.isVisible());
  EXPECT_EQ(phraseBox_.currentText(), "c|d|http://x.example/");
  EXPECT_EQ(phraseBox_.count(), 3);
  EXPECT_TRUE(fileHas("随机词组=a|b┊*┊c|d|http://x.example/┊*┊e"));
  EXPECT_TRUE(fileHas("词组索引=1"));
}

TEST_F(PhraseEditorTest, AnEditorWhoseOwnerGoesAwayStoresItsList) {
  auto owner = std::make_unique<QWidget>();
  auto* editor = new PhraseEditorWindow(store_, dialogs_, &phraseBox_, owner.get());
  editor->show();
  dialogs_.editAnswers.push_back("留下");
  Find<QPushButton>(*editor, "按钮添加").click();
  owner.reset();
  EXPECT_TRUE(fileHas("随机词组=留下"));
}

// The main window's "编辑" button opens one editor, whose double-click fills the main window's
// insert-words box.
TEST(PhraseEditorWiring, TheEditorFillsTheMainWindowsInsertWordsBox) {
  TempFolder folder;
  SettingsStore store;
  store.setPath(folder / "s.ini", 0);
  ASSERT_TRUE(savePhraseList(store, {"春|秋", "冬|夏|http://y.example/"}, 0, nullptr));
  FakeDialogs dialogs;
  MainWindow main(store, dialogs);
  main.show();
  ASSERT_TRUE(WaitUntil([&] { return !main.runController().busy(); }));
  Find<QCheckBox>(main, "选择框插入词").setChecked(true);
  QPushButton& button = Find<QPushButton>(main, "按钮编辑");
  button.click();
  button.click();
  const auto editors = main.findChildren<PhraseEditorWindow*>();
  ASSERT_EQ(editors.size(), 1);
  EXPECT_TRUE(editors[0]->isWindow());

  auto& list = Find<QListWidget>(*editors[0], "列表框词组列表");
  list.setCurrentRow(1);
  emit list.itemDoubleClicked(list.item(1));
  EXPECT_EQ(Find<QComboBox>(main, "编辑框词").currentText(), "冬|夏|http://y.example/");
  EXPECT_TRUE(WaitUntil([&] { return main.findChildren<PhraseEditorWindow*>().isEmpty(); }));
}

}  // namespace
}  // namespace gw::app
