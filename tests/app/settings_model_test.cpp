#include "app/settings_model.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QWidget>

#include "app/option_binding.h"
#include "app_test_support.h"

namespace gw::app {
namespace {

using testing::G;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

TEST(PhraseList, SavedPhrasesFillTheInsertWordsBoxInOrderAndLeaveItsText) {
  TempFolder folder;
  SettingsStore store;
  ASSERT_TRUE(store.setPath(folder / "s.ini", 0));
  QComboBox combo;
  combo.setEditable(true);
  combo.setEditText("词1|词2|词3|http://www.example.com/");

  const QStringList phrases = {"春|夏|http://a.example/", "秋|冬", "独词"};
  ASSERT_TRUE(savePhraseList(store, phrases, 1, &combo));
  EXPECT_NE(ReadBytes(folder / "s.ini").find(G("随机词组=春|夏|http://a.example/┊*┊秋|冬┊*┊独词")),
            std::string::npos);
  EXPECT_NE(ReadBytes(folder / "s.ini").find(G("词组索引=1")), std::string::npos);
  ASSERT_EQ(combo.count(), 3);
  EXPECT_EQ(combo.itemText(0), "春|夏|http://a.example/");
  EXPECT_EQ(combo.itemText(2), "独词");
  EXPECT_EQ(combo.currentText(), "词1|词2|词3|http://www.example.com/");

  // A second program start reads the same list.
  store.close();
  SettingsStore again;
  ASSERT_TRUE(again.setPath(folder / "s.ini", 0));
  QComboBox fresh;
  fresh.setEditable(true);
  fresh.setEditText("mine");
  loadPhraseCombo(again, fresh);
  EXPECT_EQ(fresh.count(), 3);
  EXPECT_EQ(fresh.currentText(), "mine");

  // No stored list: no items.
  TempFolder empty;
  SettingsStore none;
  ASSERT_TRUE(none.setPath(empty / "s.ini", 0));
  loadPhraseCombo(none, fresh);
  EXPECT_EQ(fresh.count(), 0);
  EXPECT_EQ(fresh.currentText(), "mine");
}

TEST(MainSettings, AnEmptyStoredValueLoadsAsTheControlsValue) {
  TempFolder folder;
  WriteBytes(folder / "s.ini", G("[基本配置]\r\n扩展名=\r\n标题关键词=关键\r\n繁简转换=7"));
  SettingsStore store;
  ASSERT_TRUE(store.setPath(folder / "s.ini", 0));
  QWidget window;
  auto* extension = new QLineEdit("txt", &window);  // owned by the window
  extension->setObjectName("编辑框扩展名");
  auto* keyword = new QLineEdit(&window);
  keyword->setObjectName("编辑框标题关键词");
  auto* conversion = new QComboBox(&window);
  conversion->setObjectName("组合框繁简转换");
  conversion->addItems({"不转换", "转到简体", "转到繁体"});
  loadMainSettings(store, window);
  EXPECT_EQ(extension->text(), "txt");
  EXPECT_EQ(keyword->text(), "关键");
  EXPECT_EQ(conversion->currentIndex(), 0);  // index 7 names no item
}

}  // namespace
}  // namespace gw::app
