// The real message boxes and file dialogs: their titles as the program gives them, and Qt's own
// buttons and labels in Chinese.
#include "app/qt_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "app_test_support.h"

namespace gw::app {
namespace {

// Waits for the next modal dialog of type `Dialog`, hands it to `look` and then to `close`.
template <class Dialog>
void WhenShown(std::function<void(Dialog&)> look, std::function<void(Dialog&)> close) {
  auto* timer = new QTimer(qApp);  // owned by the application until it deletes itself
  QObject::connect(timer, &QTimer::timeout, timer, [timer, look, close] {
    if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      look(*dialog);
      close(*dialog);
    }
  });
  timer->start(10);
}

QStringList ButtonTexts(const QMessageBox& box) {
  QStringList texts;
  for (const QAbstractButton* button : box.buttons()) {
    texts.append(button->text());
  }
  texts.sort();
  return texts;
}

TEST(QtDialogs, MessageBoxesShowTheirTitleAsGivenAndChineseButtons) {
  QtDialogs dialogs;
  QString title;
  QStringList buttons;
  WhenShown<QMessageBox>(
      [&](QMessageBox& box) {
        title = box.windowTitle();
        buttons = ButtonTexts(box);
      },
      [](QMessageBox& box) { box.button(QMessageBox::No)->click(); });
  EXPECT_FALSE(dialogs.ask(nullptr, "信息：", "内容已被改动，是否要放弃？"));
  EXPECT_EQ(title, "信息：");
  EXPECT_EQ(buttons, QStringList({"否(&N)", "是(&Y)"}));

  WhenShown<QMessageBox>(
      [&](QMessageBox& box) {
        title = box.windowTitle();
        buttons = ButtonTexts(box);
      },
      [](QMessageBox& box) { box.button(QMessageBox::Ok)->click(); });
  dialogs.information(nullptr, "文章生成完毕！", "处理完成");
  EXPECT_EQ(title, "文章生成完毕！");
  EXPECT_EQ(buttons, QStringList({"确定"}));
}

TEST(QtDialogs, TheFileDialogSpeaksChinese) {
  testing::TempFolder folder;
  QtDialogs dialogs;
  QString title;
  QString lookIn;
  QString cancel;
  WhenShown<QFileDialog>(
      [&](QFileDialog& dialog) {
        title = dialog.windowTitle();
        if (const auto* label = dialog.findChild<QLabel*>("lookInLabel")) {
          lookIn = label->text();
        }
        if (const auto* box = dialog.findChild<QDialogButtonBox*>()) {
          if (const QPushButton* button = box->button(QDialogButtonBox::Cancel)) {
            cancel = button->text();
          }
        }
      },
      [](QFileDialog& dialog) { dialog.reject(); });
  EXPECT_TRUE(dialogs
                  .openFiles(nullptr, "选择文件开始处理", "全部文件 (*)",
                             testing::PathText(folder.path()), true)
                  .isEmpty());
  EXPECT_EQ(title, "选择文件开始处理");
  EXPECT_EQ(lookIn, "查找范围：");
  EXPECT_EQ(cancel, "取消");
}

}  // namespace
}  // namespace gw::app
