#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "app/blocked_word_window.h"
#include "app/control_access.h"
#include "app/digit_spin_box.h"
#include "app/option_binding.h"
#include "app/phrase_editor_window.h"
#include "app_test_support.h"
#include "engine/options.h"

namespace gw::app {
namespace {

using testing::FakeDialogs;
using testing::Find;
using testing::G;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WaitUntil;

const QString kSaved = QStringLiteral("保存完毕！");

class MainWindowTest : public ::testing::Test {
 protected:
  std::filesystem::path settingsFile() const { return folder_ / "Pelorin·Gathwrite.ini"; }

  // The program's start: the store bound to the settings file, the window shown, its first
  // preview finished.
  MainWindow& start() {
    window_.reset();
    store_ = std::make_unique<SettingsStore>();
    store_->setPath(settingsFile(), 0);
    window_ = std::make_unique<MainWindow>(*store_, dialogs_);
    window_->runController().setSeed(7);
    window_->show();
    EXPECT_TRUE(WaitUntil([&] { return !window_->runController().busy(); }));
    return *window_;
  }
  // The program's end without closing the window (a crash, for instance): nothing is saved.
  void quit() {
    window_.reset();
    store_.reset();
  }

  TempFolder folder_;
  FakeDialogs dialogs_;
  std::unique_ptr<SettingsStore> store_;
  std::unique_ptr<MainWindow> window_;
};

// The control's state in the option table's words: "真"/"假", an index, or a text (UTF-8).
std::string StateText(QWidget& window, const OptionSpec& row) {
  return GbkToUtf8(OptionValueText(GatherOptions(window), row));
}

TEST_F(MainWindowTest, AtFirstStartEveryControlShowsItsFormDefault) {
  MainWindow& window = start();
  EXPECT_TRUE(std::filesystem::exists(settingsFile()));
  EXPECT_EQ(window.windowTitle(),
            "Pelorin·Gathwrite v1.6.0.3 - 导出QQ群聊天消息文件自动组合生成文章");
  EXPECT_EQ(window.size(), QSize(1020, 730));

  for (const OptionSpec& row : OptionTable()) {
    const std::string name(row.control);
    QWidget* control = OptionControl(window, row);
    ASSERT_NE(control, nullptr) << name;
    std::visit(
        [&](auto member) {
          using Value = std::decay_t<decltype(Options().*member)>;
          if constexpr (std::is_same_v<Value, bool>) {
            EXPECT_NE(qobject_cast<QCheckBox*>(control), nullptr) << name << " is a check box";
          } else if constexpr (std::is_same_v<Value, int>) {
            auto* combo = qobject_cast<QComboBox*>(control);
            ASSERT_NE(combo, nullptr) << name << " is a drop-down list";
            EXPECT_FALSE(combo->isEditable()) << name;
            ASSERT_EQ(combo->count(), static_cast<int>(row.items.size())) << name;
            for (int i = 0; i < combo->count(); ++i) {
              EXPECT_EQ(combo->itemText(i).toStdString(), row.items[i]) << name;
            }
          }
        },
        row.field);
    EXPECT_EQ(StateText(window, row), row.formDefault) << name;
  }

  EXPECT_TRUE(Find<QCheckBox>(window, "选择框删除日期").isHidden());
  EXPECT_TRUE(Find<QCheckBox>(window, "选择框删除表情").isHidden());
  EXPECT_EQ(Find<QComboBox>(window, "编辑框词").count(), 0);
  EXPECT_EQ(Find<QPushButton>(window, "按钮选择文件").text(), QString::fromUtf16(kIdleCaption));
  EXPECT_TRUE(Find<QPlainTextEdit>(window, "编辑框源消息")
                  .toPlainText()
                  .startsWith("消息记录（此消息记录为文本格式，不支持重新导入）\n"));
  // Dependent controls follow the form's check boxes.
  EXPECT_FALSE(Find<QComboBox>(window, "编辑框词").isEnabled());
  EXPECT_FALSE(Find<QPushButton>(window, "按钮屏蔽词设置").isEnabled());
  EXPECT_TRUE(Find<DigitSpinBox>(window, "编辑框最多字数").isEnabled());
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(MainWindowTest, WindowsOpenWhereTheInventoryPlacesThemAndTheInsertWordsRowShowsItsWords) {
  MainWindow& window = start();
  EXPECT_EQ(window.pos(), QPoint(50, 0));
  EXPECT_EQ(Find<QComboBox>(window, "编辑框词").width(), 240);
  EXPECT_EQ(Find<QPushButton>(window, "按钮编辑").width(), 48);
  // The row fits its group: the button ends inside the group's frame.
  const auto& group = Find<QGroupBox>(window, "分组框4");
  const QWidget& edit = Find<QPushButton>(window, "按钮编辑");
  EXPECT_LE(edit.mapTo(&group, QPoint(edit.width(), 0)).x(), group.width());

  Find<QCheckBox>(window, "选择框过滤屏蔽词").setChecked(true);
  Find<QPushButton>(window, "按钮屏蔽词设置").click();
  Find<QCheckBox>(window, "选择框插入词").setChecked(true);
  Find<QPushButton>(window, "按钮编辑").click();
  const auto* settings = window.findChild<BlockedWordWindow*>();
  const auto* editor = window.findChild<PhraseEditorWindow*>();
  ASSERT_TRUE(settings && editor);
  EXPECT_TRUE(settings->isVisible());
  EXPECT_EQ(settings->pos(), QPoint(50, 50));
  EXPECT_TRUE(editor->isVisible());
  EXPECT_EQ(editor->pos(), QPoint(50, 50));
}

TEST_F(MainWindowTest, TheWindowOpensWithAPreviewOfTheSampleExport) {
  MainWindow& window = start();
  const QString article = Find<QPlainTextEdit>(window, "编辑框处理结果").toPlainText();
  EXPECT_FALSE(article.isEmpty());
  EXPECT_TRUE(article.contains("<p>"));
  EXPECT_TRUE(window.statusText().startsWith("聊天消息组合预览 - 标题："));
  // A second preview on a pasted text.
  QApplication::clipboard()->setText("没有一条消息的文本");
  Find<QPushButton>(window, "按钮粘贴").click();
  EXPECT_EQ(Find<QPlainTextEdit>(window, "编辑框源消息").toPlainText(), "没有一条消息的文本");
  QApplication::clipboard()->clear();
  Find<QPushButton>(window, "按钮粘贴").click();
  EXPECT_EQ(Find<QPlainTextEdit>(window, "编辑框源消息").toPlainText(), "");

  Find<QPushButton>(window, "按钮复制").click();
  EXPECT_EQ(QApplication::clipboard()->text(), article);
}

TEST_F(MainWindowTest, InsertWordControlsFollowTheirCheckBoxAndKeepTheirValues) {
  MainWindow& window = start();
  auto& box = Find<QCheckBox>(window, "选择框插入词");
  const std::vector<const char*> dependents = {"编辑框词",    "按钮编辑",         "编辑框插入1",
                                               "编辑框插入2", "选择框插入到标题", "选择框每次不同"};
  box.click();
  ASSERT_TRUE(box.isChecked());
  for (const char* name : dependents) {
    EXPECT_TRUE(Find<QWidget>(window, name).isEnabled()) << name;
  }
  Find<QLineEdit>(window, "编辑框插入1").setText("3");
  Find<QCheckBox>(window, "选择框每次不同").setChecked(true);
  box.click();
  for (const char* name : dependents) {
    EXPECT_FALSE(Find<QWidget>(window, name).isEnabled()) << name;
  }
  EXPECT_EQ(Find<QLineEdit>(window, "编辑框插入1").text(), "3");
  EXPECT_TRUE(Find<QCheckBox>(window, "选择框每次不同").isChecked());

  auto& replace = Find<QCheckBox>(window, "选择框自定义替换");
  replace.click();
  EXPECT_TRUE(Find<QPlainTextEdit>(window, "编辑框欲替换").isEnabled());
  EXPECT_TRUE(Find<QCheckBox>(window, "选择框正则替换").isEnabled());
}

TEST_F(MainWindowTest, SavedOptionsComeBackAfterARestart) {
  MainWindow& first = start();
  Find<QCheckBox>(first, "选择框插入词").setChecked(true);
  Find<QCheckBox>(first, "选择框最少字数").setChecked(false);
  Find<DigitSpinBox>(first, "编辑框最多字数").setText("80");
  Find<QComboBox>(first, "编辑框词").setEditText("甲|乙|http://example.org/");
  Find<QComboBox>(first, "组合框标题位置").setCurrentIndex(0);
  Find<QComboBox>(first, "组合框编码").setCurrentIndex(2);
  Find<QPlainTextEdit>(first, "编辑框前缀").setPlainText("<div>\n");
  Find<QLineEdit>(first, "编辑框保存文件夹").setText("/tmp/文章");
  Find<QCheckBox>(first, "选择框忽略网址").setChecked(true);
  SetControlTag(Find<QPushButton>(first, "按钮选择文件"), "/data/群/a.txt");
  Find<QCheckBox>(first, "选择框删除指定").setChecked(true);  // not stored

  Find<QToolButton>(first, "图片保存配置").click();
  ASSERT_EQ(dialogs_.of("information").size(), 1u);
  EXPECT_EQ(dialogs_.of("information")[0].title, "信息：");
  EXPECT_EQ(dialogs_.of("information")[0].text, kSaved);

  // All 43 entries are in the file, the new ones above the older ones; the three of "扩展配置"
  // follow in their own section.
  const std::string saved = ReadBytes(settingsFile());
  const std::size_t extended = saved.find(G("[扩展配置]"));
  ASSERT_NE(extended, std::string::npos);
  EXPECT_EQ(std::count(saved.begin(), saved.begin() + static_cast<std::ptrdiff_t>(extended), '='),
            43);
  EXPECT_EQ(std::count(saved.begin() + static_cast<std::ptrdiff_t>(extended), saved.end(), '='), 3);
  EXPECT_LT(saved.find(G("选择文件=")), saved.find(G("选择框删除日期=")));

  // Settings changed and not saved are lost.
  Find<QLineEdit>(first, "编辑框扩展名").setText("htm");
  quit();

  MainWindow& second = start();
  EXPECT_TRUE(Find<QCheckBox>(second, "选择框插入词").isChecked());
  EXPECT_TRUE(Find<QComboBox>(second, "编辑框词").isEnabled());
  EXPECT_FALSE(Find<QCheckBox>(second, "选择框最少字数").isChecked());
  EXPECT_FALSE(Find<DigitSpinBox>(second, "编辑框最少字数").isEnabled());
  EXPECT_EQ(Find<DigitSpinBox>(second, "编辑框最多字数").text(), "80");
  EXPECT_EQ(Find<QComboBox>(second, "编辑框词").currentText(), "甲|乙|http://example.org/");
  EXPECT_EQ(Find<QComboBox>(second, "组合框标题位置").currentIndex(), 0);
  EXPECT_EQ(Find<QComboBox>(second, "组合框编码").currentIndex(), 2);
  EXPECT_EQ(Find<QPlainTextEdit>(second, "编辑框前缀").toPlainText(), "<div>\n");
  EXPECT_EQ(Find<QLineEdit>(second, "编辑框保存文件夹").text(), "/tmp/文章");
  EXPECT_TRUE(Find<QCheckBox>(second, "选择框忽略网址").isChecked());
  EXPECT_EQ(ControlTag(Find<QPushButton>(second, "按钮选择文件")), "/data/群/a.txt");
  EXPECT_FALSE(Find<QCheckBox>(second, "选择框删除指定").isChecked());
  EXPECT_EQ(Find<QLineEdit>(second, "编辑框扩展名").text(), "txt");
}

TEST_F(MainWindowTest, ClosingTheWindowSavesWithoutAMessage) {
  MainWindow& window = start();
  Find<QLineEdit>(window, "编辑框扩展名").setText("htm");
  EXPECT_TRUE(window.close());
  EXPECT_NE(ReadBytes(settingsFile()).find(G("扩展名=htm")), std::string::npos);
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(MainWindowTest, SavingIntoAFileAnotherCopyHoldsSaysWhyNothingWasSaved) {
  SettingsStore otherCopy;
  ASSERT_TRUE(otherCopy.setPath(settingsFile(), 0));
  MainWindow& window = start();
  ASSERT_TRUE(store_->isReadOnly());
  Find<QLabel>(window, "链接保存配置").linkActivated("save");
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].title, "信息：");
  EXPECT_TRUE(dialogs_.shown[0].text.startsWith("设置文件正被另一个运行中的程序使用，未能保存。"));
  EXPECT_EQ(ReadBytes(settingsFile()), "");
}

TEST_F(MainWindowTest, SavingIntoAReadOnlyFileSaysSoAndLeavesIt) {
  const std::string before = G("[基本配置]\r\n扩展名=md");
  testing::WriteBytes(settingsFile(), before);
  std::filesystem::permissions(settingsFile(), std::filesystem::perms::owner_read |
                                                   std::filesystem::perms::group_read |
                                                   std::filesystem::perms::others_read);
  MainWindow& window = start();
  ASSERT_TRUE(store_->isReadOnly());
  EXPECT_EQ(Find<QLineEdit>(window, "编辑框扩展名").text(), "md");
  Find<QLineEdit>(window, "编辑框扩展名").setText("htm");
  Find<QLabel>(window, "链接保存配置").linkActivated("save");
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].title, "信息：");
  EXPECT_EQ(dialogs_.shown[0].text,
            "设置文件只读，未能保存。\n" + QString::fromStdString(settingsFile().string()));
  EXPECT_EQ(ReadBytes(settingsFile()), before);
}

TEST_F(MainWindowTest, AFileThatCannotBeReplacedShowsTheStoreWarningAndSaysWhy) {
  MainWindow& window = start();
  // The settings folder turns into a file: the settings file can no longer be replaced.
  const std::filesystem::path aside = folder_.path().string() + ".aside";
  std::filesystem::rename(folder_.path(), aside);
  testing::WriteBytes(folder_.path(), "not a folder");
  Find<QToolButton>(window, "图片保存配置").click();
  std::filesystem::remove(folder_.path());
  std::filesystem::rename(aside, folder_.path());

  ASSERT_EQ(dialogs_.shown.size(), 3u);
  EXPECT_EQ(dialogs_.shown[0].kind, "warning");
  EXPECT_EQ(dialogs_.shown[0].title, "Pelorin：");
  EXPECT_EQ(dialogs_.shown[0].text, "配置模块出现意外，可能导致无法正常保存！详情请咨询Pelorin。");
  EXPECT_EQ(dialogs_.shown[1].kind, "information");
  EXPECT_EQ(dialogs_.shown[1].title, "Pelorin：");
  EXPECT_EQ(dialogs_.shown[2].title, "信息：");
  EXPECT_NE(dialogs_.shown[2].text, kSaved);
  EXPECT_TRUE(dialogs_.shown[2].text.contains("未能保存"));
}

TEST_F(MainWindowTest, DigitBoxesRefuseLettersAndSpinBoxesStopAtTheirLimits) {
  MainWindow& window = start();
  auto& articles = Find<QLineEdit>(window, "编辑框合纵1");
  articles.clear();
  QTest::keyClicks(&articles, "1a2b");
  EXPECT_EQ(articles.text(), "12");
  auto& times = Find<QLineEdit>(window, "编辑框合纵2");
  times.clear();
  QTest::keyClicks(&times, "x9");
  EXPECT_EQ(times.text(), "9");

  // The length boxes take any number typed; their buttons stop at 0 and 100.
  for (const char* name : {"编辑框最少字数", "编辑框最多字数", "编辑框标题最少字数"}) {
    auto& box = Find<DigitSpinBox>(window, name);
    box.setFocus();
    box.selectAll();
    QTest::keyClicks(&box, "1x50");
    EXPECT_EQ(box.text(), "150") << name;
    box.setText("100");
    box.stepUp();
    EXPECT_EQ(box.text(), "100") << name;
    box.setText("0");
    box.stepDown();
    EXPECT_EQ(box.text(), "0") << name;
  }
}

TEST_F(MainWindowTest, AStoredLengthAboveTheButtonsRangeIsShownUsedAndSavedAsItIs) {
  testing::WriteBytes(settingsFile(),
                      G("[基本配置]\r\n最少字数a=150\r\n最多字数a=2000\r\n标题最少字数=120\r\n"));
  MainWindow& window = start();
  EXPECT_EQ(EditBoxText(Find<QWidget>(window, "编辑框最少字数")).toStdString(), "150");
  EXPECT_EQ(EditBoxText(Find<QWidget>(window, "编辑框最多字数")).toStdString(), "2000");
  EXPECT_EQ(EditBoxText(Find<QWidget>(window, "编辑框标题最少字数")).toStdString(), "120");
  // A run reads the same numbers the command line reads from this file.
  const Options options = GatherOptions(window);
  EXPECT_EQ(options.编辑框最少字数, "150");
  EXPECT_EQ(options.编辑框最多字数, "2000");
  EXPECT_EQ(options.编辑框标题最少字数, "120");

  EXPECT_TRUE(window.close());
  const std::string saved = ReadBytes(settingsFile());
  EXPECT_NE(saved.find(G("最少字数a=150\r\n")), std::string::npos);
  EXPECT_NE(saved.find(G("最多字数a=2000\r\n")), std::string::npos);
  EXPECT_NE(saved.find(G("标题最少字数=120\r\n")), std::string::npos);
}

TEST_F(MainWindowTest, TheFolderChooserOpensOnTheBoxFolderAndCancelLeavesTheBox) {
  MainWindow& window = start();
  auto& box = Find<QLineEdit>(window, "编辑框保存文件夹");
  auto& choose = Find<QPushButton>(window, "按钮选择");
  choose.click();
  ASSERT_EQ(dialogs_.of("folder").size(), 1u);
  EXPECT_EQ(dialogs_.of("folder")[0].title, "选择一个保存文章的目录。留空则保存到源文件所在目录");
  EXPECT_EQ(dialogs_.of("folder")[0].text, "");
  EXPECT_EQ(box.text(), "");

  box.setText("/srv/文章");
  choose.click();
  EXPECT_EQ(dialogs_.of("folder")[1].text, "/srv/文章");
  EXPECT_EQ(box.text(), "/srv/文章");

  dialogs_.folderAnswer = "/srv/新";
  choose.click();
  EXPECT_EQ(box.text(), "/srv/新");
}

TEST_F(MainWindowTest, TheExtendedOptionsComeFromAndGoToTheirOwnSection) {
  testing::WriteBytes(settingsFile(),
                      G("[基本配置]\r\n扩展名=md\r\n[扩展配置]\r\n组合框文章编码=2\r\n"
                        "选择框去除重复消息=真\r\n选择框删除系统提示=假"));
  MainWindow& window = start();
  auto& notices = Find<QCheckBox>(window, "选择框删除系统提示");
  auto& repeats = Find<QCheckBox>(window, "选择框去除重复消息");
  auto& encoding = Find<QComboBox>(window, "组合框文章编码");
  EXPECT_EQ(notices.text(), "删除系统提示");
  EXPECT_EQ(repeats.text(), "去除重复消息");
  EXPECT_EQ(Find<QLabel>(window, "标签文章编码").text(), "文章编码：");
  EXPECT_FALSE(notices.isChecked());
  EXPECT_TRUE(repeats.isChecked());
  EXPECT_EQ(encoding.currentText(), "UTF-8 带签名");
  // A run gets what the controls show.
  const Options shown = GatherOptions(window);
  EXPECT_FALSE(shown.选择框删除系统提示);
  EXPECT_TRUE(shown.选择框去除重复消息);
  EXPECT_EQ(shown.组合框文章编码, 2);

  notices.setChecked(true);
  repeats.setChecked(false);
  encoding.setCurrentIndex(1);
  EXPECT_TRUE(window.close());
  const std::string saved = ReadBytes(settingsFile());
  EXPECT_NE(saved.find(G("[扩展配置]\r\n组合框文章编码=1\r\n选择框去除重复消息=假\r\n"
                         "选择框删除系统提示=真")),
            std::string::npos)
      << GbkToUtf8(saved);
  EXPECT_NE(saved.find(G("扩展名=md")), std::string::npos);
}

TEST_F(MainWindowTest, EveryControlOfAGroupShowsWholeAndOverlapsNoOther) {
  MainWindow& window = start();
  for (QGroupBox* group : window.findChildren<QGroupBox*>()) {
    const std::string name = group->objectName().toStdString();
    std::vector<QWidget*> controls;
    for (QWidget* child : group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      // The controls the form lays out; the shuffle box and the progress bar sit on the frame.
      if (child->isVisible() && child->objectName() != "选择框打乱消息顺序" &&
          child != &window.progressBar()) {
        controls.push_back(child);
      }
    }
    ASSERT_FALSE(controls.empty()) << name;
    for (std::size_t i = 0; i < controls.size(); ++i) {
      const QWidget& control = *controls[i];
      const std::string controlName = control.objectName().toStdString();
      EXPECT_TRUE(group->rect().contains(control.geometry())) << name << ": " << controlName;
      if (qobject_cast<const QCheckBox*>(&control) || qobject_cast<const QLabel*>(&control)) {
        EXPECT_GE(control.width(), control.minimumSizeHint().width()) << controlName;
      } else if (const auto* button = qobject_cast<const QPushButton*>(&control)) {
        EXPECT_LT(button->fontMetrics().horizontalAdvance(button->text()), button->width())
            << controlName;
      }
      for (std::size_t j = i + 1; j < controls.size(); ++j) {
        EXPECT_FALSE(control.geometry().intersects(controls[j]->geometry()))
            << controlName << " and " << controls[j]->objectName().toStdString();
      }
    }
  }
}

TEST_F(MainWindowTest, TheHelpIsAReadOnlyText) {
  MainWindow& window = start();
  Find<QToolButton>(window, "图片疑点说明").click();
  Find<QLabel>(window, "链接疑点说明").linkActivated("help");
  ASSERT_EQ(dialogs_.of("text").size(), 2u);
  EXPECT_TRUE(dialogs_.of("text")[0].text.contains("选择文件开始生成"));
}

}  // namespace
}  // namespace gw::app
