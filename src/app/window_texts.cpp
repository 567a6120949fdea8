#include "app/window_texts.h"

#include <QFile>

#include "app/qt_text.h"

// The resources live in a static library: nothing else would pull them into the program.
static void InitAppResources() {
  Q_INIT_RESOURCE(app);
}

namespace gw::app {

QString SampleExportText() {
  InitAppResources();
  QFile file(QStringLiteral(":/gathwrite/sample-export.txt"));
  if (!file.open(QIODevice::ReadOnly)) {
    return {};
  }
  const QByteArray bytes = file.readAll();
  return ToLf(FromGbk(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
}

QString HelpTitle() {
  return QStringLiteral("疑点说明");
}

QString HelpPrompt() {
  return QStringLiteral("Pelorin·Gathwrite 的用法和常见疑问（本说明只读）");
}

QString HelpText() {
  return QStringLiteral(
      "一、这个程序做什么\n"
      "把QQ消息管理器导出的群聊天记录（文本格式 .txt）切成一条条消息，过滤、清理后，"
      "把几条消息合成一个段落，再把几个段落合成一篇文章，每篇文章以标题为文件名单独保存。\n"
      "\n"
      "二、怎样导出聊天记录\n"
      "在QQ的消息管理器里选中群，选择“导出消息记录”，保存类型选“文本文件(*.txt)”。"
      "文件里每条消息以“日期 时间 昵称(号码)”一行开头。\n"
      "\n"
      "三、基本用法\n"
      "1. 按需要设置各个选项；选项会在关闭窗口时自动保存，也可以点“保存配置”立即保存。\n"
      "2. 点“选择文件开始生成”，选中一个或多个导出文件，程序依次处理，完成后报告处理了几个"
      "文件、生成了几篇文章。\n"
      "3. 生成过程中按钮变为“点击我停止生成”，点它会在当前文件处理完后停止。\n"
      "4. 文章保存到“保存到文件夹”中的目录；留空则保存到源文件所在目录下以源文件命名的"
      "文件夹里。\n"
      "\n"
      "四、先看效果再生成\n"
      "把聊天记录粘贴到下方左边的框里（“粘贴聊天记录”），点“※ 组合预览 ※”，右边显示按"
      "当前设置组合出的第一篇文章，不会写任何文件。“复制组合结果”把它复制到剪贴板。\n"
      "\n"
      "五、常见疑问\n"
      "・预览为空：源消息太少，或过滤条件太严（消息最少字数、被忽略消息含有……）。\n"
      "・标题不理想：标题取自文章中字数不少于“标题最少字数”的一个随机句子，可以调整这个数字。\n"
      "・插入词：多个词用“|”隔开；最后一项是以 http:// 开头的网址时，插入的词组成带链接的"
      "锚文本。点“编辑”可以管理常用的词组。\n"
      "・过滤屏蔽词：在“设置词库”里选择词库文件和分隔符号，勾选“过滤屏蔽词”后生效。\n"
      "・乱码：在“选择文件开始生成”右边选择源文件的编码，一般用“自动识别”即可。\n"
      "・设置文件：所有选项保存在设置文件 Pelorin·Gathwrite.ini 中；同时运行两个本程序时，"
      "只有先启动的那个能保存设置。\n");
}

}  // namespace gw::app
