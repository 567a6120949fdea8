#include "app/text_input_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QPushButton>

namespace gw::app {
namespace {

QPushButton& Button(QDialog& dialog, const char* name) {
  return *dialog.findChild<QPushButton*>(QString::fromUtf8(name));
}

TEST(TextInputDialog, ItsToolsRestoreClearAndPasteTheText) {
  TextInputDialog dialog(nullptr, "标题", "提示", "原来的\n文字", false);
  auto* body = dialog.findChild<QPlainTextEdit*>("编辑框正文");
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(dialog.findChild<QPlainTextEdit*>("编辑框提示")->toPlainText(), "提示");
  EXPECT_FALSE(dialog.changed());

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

TEST(TextInputDialog, AReadOnlyTextOffersOnlyOk) {
  TextInputDialog dialog(nullptr, "疑点说明", "只读", "说明", true);
  EXPECT_TRUE(dialog.findChild<QPlainTextEdit*>("编辑框正文")->isReadOnly());
  EXPECT_FALSE(Button(dialog, "按钮取消").isVisibleTo(&dialog));
  EXPECT_FALSE(Button(dialog, "按钮清空").isVisibleTo(&dialog));
  EXPECT_TRUE(Button(dialog, "按钮确定").isVisibleTo(&dialog));
  EXPECT_FALSE(dialog.changed());
}

}  // namespace
}  // namespace gw::app
