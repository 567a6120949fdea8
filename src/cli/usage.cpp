#include "cli/usage.h"

#include <algorithm>

#include "cli/terminal_text.h"
#include "gw_version.h"

namespace gw::cli {
namespace {

constexpr SubcommandUsage kSubcommands[] = {
    {"generate", "[选项] 文件...", "处理这些文件，把生成的文章写成文件"},
    {"preview", "[选项] 文件", "文件的第一篇文章：第 1 行是标题，其后是正文；不写任何文件"},
    {"messages", "[选项] [--stats] 文件",
     "送去组合的每条消息，按使用顺序，每行一条；--stats 时只输出消息统计"},
    {"filter", "[选项] 文件...", "屏蔽词批量替换：在每个文件旁边写出 <名称>_已过滤.<扩展名>"},
    {"options", "[--settings 路径] [--set 名称=值]... [--json]",
     "列出每个选项：名称、类型、默认值和本次运行将用的值"},
};

constexpr OptionUsage kOptions[] = {
    {"", "--settings", "路径", "要读取的设置文件（默认：程序自己的设置文件）；从不创建或修改它"},
    {"", "--set", "名称=值",
     "改写一个选项，可重复。名称是主窗口的控件名（如 选择框打乱消息顺序、编辑框连横1、\n"
     "组合框标题位置），或 "
     "屏蔽词过滤器/键名（词库、分隔符、换行符、单选框换行符、代替符、编码）。\n"
     "复选框取 真/假（或 1/0、true/false）；组合框取从 0 "
     "起的序号或选项文字；文本取任意文字（可为空）。\n"
     "gathwrite-cli options 列出所有名称"},
    {"-o", "--output", "文件夹", "文章的输出文件夹（同 --set 编辑框保存文件夹=文件夹）"},
    {"", "--seed", "N", "为每次随机抽取设定种子：相同的种子、输入和选项给出逐字节相同的结果"},
    {"", "--threads", "N",
     "generate 用 N 个线程（默认：每个处理器一个）；--threads 1 全部在一个线程上依次完成。\n"
     "线程数不改变结果：相同的种子、输入和选项给出逐字节相同的文章"},
    {"-q", "--quiet", "", "不在标准错误上显示进度"},
    {"", "--json", "", "options 以 JSON 数组输出，供脚本使用"},
    {"", "--stats", "",
     "messages 不输出消息，只输出找到、采用和按原因舍弃的消息条数（与 generate 的摘要相同）"},
    {"-h", "--help", "", "显示本帮助"},
    {"", "--version", "", "显示版本"},
};

constexpr ExitStatusUsage kExitStatuses[] = {
    {kExitSuccess, "成功"},
    {kExitFileProblem, "有文件无法读取或写入，或有正则表达式被拒绝（其余文件照常处理）"},
    {kExitUsage, "命令行有误"},
    {kExitSignalBase + 2, "被 Ctrl-C（SIGINT）停止：当前文章写完，已打印摘要"},
    {kExitSignalBase + 15, "被 SIGTERM 停止，同上"},
};

// `text` indented by `indent` spaces on every line after the first.
std::string Continued(std::string_view text, std::size_t indent) {
  std::string result;
  for (const char c : text) {
    result += c;
    if (c == '\n') {
      result.append(indent, ' ');
    }
  }
  return result;
}

std::string OptionHead(const OptionUsage& option) {
  std::string head = option.shortName.empty() ? "    " : std::string(option.shortName) + ", ";
  head += option.longName;
  if (!option.argument.empty()) {
    head += " " + std::string(option.argument);
  }
  return head;
}

}  // namespace

std::span<const SubcommandUsage> Subcommands() {
  return kSubcommands;
}

std::span<const OptionUsage> CommandOptions() {
  return kOptions;
}

std::span<const ExitStatusUsage> ExitStatuses() {
  return kExitStatuses;
}

std::string UsageText() {
  constexpr std::size_t kColumn = 24;
  std::string text = "用法：\n";
  for (const SubcommandUsage& command : kSubcommands) {
    text += "  gathwrite-cli " + std::string(command.name) + " " + std::string(command.arguments) +
            "\n      " + std::string(command.summary) + "\n";
  }
  text += "  gathwrite-cli --help | --version\n";
  text += "文件为 - 时读取标准输入（generate、preview、messages；generate 还需要 -o）。\n";
  text += "\n选项：\n";
  for (const OptionUsage& option : kOptions) {
    const std::string head = "  " + OptionHead(option);
    text += head;
    const std::size_t used = DisplayColumns(head);
    if (used + 2 > kColumn) {
      text += "\n" + std::string(kColumn, ' ');
    } else {
      text.append(kColumn - used, ' ');
    }
    text += Continued(option.summary, kColumn) + "\n";
  }
  text += "\n退出状态：\n";
  for (const ExitStatusUsage& exit : kExitStatuses) {
    const std::string status = std::to_string(exit.status);
    text += "  " + status + std::string(5 - status.size(), ' ') + std::string(exit.meaning) + "\n";
  }
  return text;
}

std::string_view VersionText() {
  return "gathwrite-cli " GW_VERSION;
}

}  // namespace gw::cli
