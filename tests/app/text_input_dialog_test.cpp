#include "app/text_input_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app_test_support.h"

namespace gw::app {
namespace {

using testing::FakeDialogs;
using testing::G;
using testing::PathText;
using testing::TempFolder;
using testing::WriteBytes;

QPushButton& Button(QDialog& dialog, const char* name) {
  return *dialog.findChild<QPushButton*>(QString::fromUtf8(name));
}

QPlainTextEdit& Body(QDialog& dialog) {
  return *dialog.findChild<QPlainTextEdit*>("编辑框正文");
}

TEST(TextInputDialog, ItsToolsRestoreClearAndPasteTheText) {
  FakeDialogs dialogs;
  TextInputDialog dialog(dialogs, nullptr, "标题", "提示", "原来的\n文字", TextInputMode::Edit);
  EXPECT_EQ(dialog.findChild<QPlainTextEdit*>("编辑框提示")->toPlainText(), "提示");
  EXPECT_FALSE(dialog.changed());
  // File import is offered only when the caller asks for it.
  EXPECT_FALSE(Button(dialog, "按钮文件").isVisibleTo(&dialog));
  EXPECT_FALSE(Button(dialog, "按钮文件名").isVisibleTo(&dialog));

  Button(dialog, "按钮清空").click();
  EXPECT_EQ(dialog.text(), "");
  EXPECT_TRUE(dialog.changed());
  QApplication::clipboard()->setText("贴上");
  Button(dialog, "按钮粘贴").click();
  EXPECT_EQ(dialog.text(), "贴上");
  Button(dialog, "按钮恢复").click();
  EXPECT_EQ(dialog.text(), "原来的\n文字");
  EXPECT_FALSE(dialog.changed());
}

TEST(TextInputDialog, ItOpensWhereTheOtherAuxiliaryWindowsDoNotOverItsOwner) {
  FakeDialogs dialogs;
  QWidget owner;
  owner.setGeometry(400, 300, 600, 500);
  owner.show();
  TextInputDialog dialog(dialogs, &owner, "添加", "提示", "", TextInputMode::Edit);
  dialog.show();
  EXPECT_EQ(dialog.pos(), QPoint(50, 50));
  EXPECT_EQ(dialog.size(), QSize(495, 393));
}

TEST(TextInputDialog, AChangedTextIsDiscardedOnlyWhenTheUserSaysSo) {
  FakeDialogs dialogs;
  TextInputDialog dialog(dialogs, nullptr, "添加", "提示", "词1|词2", TextInputMode::Edit);
  dialog.show();
  // An untouched text closes without a question.
  Button(dialog, "按钮取消").click();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_TRUE(dialogs.of("ask").empty());

  dialog.show();
  Body(dialog).setPlainText("词1|词2|词3");
  dialogs.askAnswer = false;
  Button(dialog, "按钮取消").click();
  ASSERT_EQ(dialogs.of("ask").size(), 1u);
  EXPECT_EQ(dialogs.of("ask")[0].text, "内容已被改动，是否要放弃？");
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.text(), "词1|词2|词3");

  // The close box asks the same question.
  dialog.close();
  EXPECT_EQ(dialogs.of("ask").size(), 2u);
  EXPECT_TRUE(dialog.isVisible());

  dialogs.askAnswer = true;
  Button(dialog, "按钮取消").click();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST(TextInputDialog, ImportInsertsAFilesTextWhateverItsEncodingOrItsName) {
  TempFolder folder;
  WriteBytes(folder / "gbk.txt", G("第一行\r\n第二行"));
  WriteBytes(folder / "utf8.txt", "\xEF\xBB\xBF网址");
  FakeDialogs dialogs;
  TextInputDialog dialog(dialogs, nullptr, "标题", "提示", "", TextInputMode::EditWithFileImport);
  EXPECT_TRUE(Button(dialog, "按钮文件").isVisibleTo(&dialog));

  dialogs.fileAnswers.push_back({PathText(folder / "gbk.txt")});
  Button(dialog, "按钮文件").click();
  EXPECT_EQ(dialog.text(), "第一行\n第二行");
  ASSERT_EQ(dialogs.of("files").size(), 1u);
  EXPECT_EQ(dialogs.of("files")[0].title, "选择一个文本文件，导入其文本数据");
  EXPECT_FALSE(dialogs.lastMultiple);

  // Inserted where the cursor stands; the dialog opens where the last file was.
  Body(dialog).moveCursor(QTextCursor::End);
  dialogs.fileAnswers.push_back({PathText(folder / "utf8.txt")});
  Button(dialog, "按钮文件").click();
  EXPECT_EQ(dialog.text(), "第一行\n第二行网址");
  EXPECT_EQ(dialogs.of("files")[1].text, PathText(folder / "gbk.txt"));

  dialog.findChild<QPlainTextEdit*>("编辑框正文")->clear();
  dialogs.fileAnswers.push_back({PathText(folder / "gbk.txt")});
  Button(dialog, "按钮文件名").click();
  EXPECT_EQ(dialog.text(), PathText(folder / "gbk.txt"));

  // A cancelled dialog changes nothing; a file that cannot be read is reported.
  Button(dialog, "按钮文件").click();
  EXPECT_EQ(dialog.text(), PathText(folder / "gbk.txt"));
  dialogs.fileAnswers.push_back({PathText(folder / "gone.txt")});
  Button(dialog, "按钮文件").click();
  EXPECT_EQ(dialog.text(), PathText(folder / "gbk.txt"));
  ASSERT_EQ(dialogs.of("information").size(), 1u);
  EXPECT_TRUE(dialogs.of("information")[0].text.contains("gone.txt"));
}

TEST(TextInputDialog, AReadOnlyTextOffersOnlyOk) {
  FakeDialogs dialogs;
  TextInputDialog dialog(dialogs, nullptr, "疑点说明", "只读", "说明", TextInputMode::ReadOnly);
  EXPECT_TRUE(Body(dialog).isReadOnly());
  EXPECT_FALSE(Button(dialog, "按钮取消").isVisibleTo(&dialog));
  EXPECT_FALSE(Button(dialog, "按钮清空").isVisibleTo(&dialog));
  EXPECT_TRUE(Button(dialog, "按钮确定").isVisibleTo(&dialog));
  EXPECT_FALSE(dialog.changed());
}

}  // namespace
}  // namespace gw::app
