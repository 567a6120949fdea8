#include "cli/reference_docs.h"

#include <vector>

#include "cli/cli_settings.h"
#include "cli/option_listing.h"
#include "cli/option_names.h"
#include "cli/terminal_text.h"
#include "cli/usage.h"
#include "gw_version.h"

namespace gw::cli {
namespace {

std::string OptionHead(const OptionUsage& option) {
  std::string head;
  if (!option.shortName.empty()) {
    head += "\\fB" + RoffEscaped(option.shortName) + "\\fR, ";
  }
  head += "\\fB" + RoffEscaped(option.longName) + "\\fR";
  if (!option.argument.empty()) {
    head += " \\fI" + RoffEscaped(option.argument) + "\\fR";
  }
  return head;
}

// Words for a bash word list, each on its own line of a quoted array.
std::string BashArray(const std::vector<std::string>& words) {
  std::string array = "(";
  for (const std::string& word : words) {
    std::string quoted = "'";
    for (const char c : word) {
      quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    array += "\n    " + quoted + "'";
  }
  return array + "\n  )";
}

}  // namespace

std::string RoffEscaped(std::string_view text) {
  std::string escaped;
  bool lineStart = true;
  for (const std::string_view character : Utf8Characters(text)) {
    const char c = character.front();
    if (lineStart && (c == '.' || c == '\'')) {
      escaped += "\\&";
    }
    if (c == '\\') {
      escaped += "\\e";
    } else if (c == '-') {
      escaped += "\\-";
    } else {
      escaped += character;
    }
    // Chinese text has no spaces: a line may break after any wide character.
    if (DisplayColumns(character) == 2) {
      escaped += "\\:";
    }
    lineStart = c == '\n';
  }
  return escaped;
}

std::string ManPage() {
  std::string page = ".TH GATHWRITE\\-CLI 1 \"\" \"Gathwrite " GW_VERSION "\" \"Gathwrite\"\n";
  // Left-aligned without hyphenation: justified Chinese lines would only stretch at the spaces.
  page += ".ad l\n.nh\n";
  page +=
      ".SH 名称\ngathwrite\\-cli \\- " + RoffEscaped("把 QQ 群聊天记录导出文件组合成文章") + "\n";
  page += ".SH 用法\n";
  for (const SubcommandUsage& command : Subcommands()) {
    page += ".B gathwrite\\-cli " + RoffEscaped(command.name) + "\n" +
            RoffEscaped(command.arguments) + "\n.br\n";
  }
  page += ".B gathwrite\\-cli \\-\\-help\n|\n.B \\-\\-version\n";
  page += ".SH 描述\n" +
          RoffEscaped(
              "gathwrite-cli 与桌面程序 gathwrite 使用同一个引擎、同样的选项和同一个设置"
              "文件。选项的值依次来自窗体默认值、设置文件的“基本配置”与“扩展配置”两节、--set。"
              "终端上的文字是 UTF-8，文章文件是 GBK（或组合框文章编码选的 UTF-8）。文件为 - "
              "时读取标准输入（generate、"
              "preview、messages；generate 还需要 -o）。") +
          "\n";
  page += ".SH 子命令\n";
  for (const SubcommandUsage& command : Subcommands()) {
    page += ".TP\n\\fB" + RoffEscaped(command.name) + "\\fR " + RoffEscaped(command.arguments) +
            "\n" + RoffEscaped(command.summary) + "\n";
  }
  page += ".SH 选项\n";
  for (const OptionUsage& option : CommandOptions()) {
    page += ".TP\n" + OptionHead(option) + "\n" + RoffEscaped(option.summary) + "\n";
  }
  page += ".SH " + RoffEscaped("可设置的选项") + "\n" +
          RoffEscaped("--set 接受以下名称；gathwrite-cli options 还列出本次运行将用的值。") + "\n";
  for (const OptionDescription& option : DescribeOptions(DefaultCliSettings())) {
    page += ".TP\n.B " + RoffEscaped(option.name) + "\n" +
            RoffEscaped(KindText(option) + "，默认 " + ValueText(option, option.defaultValue)) +
            "\n";
  }
  page += ".SH 退出状态\n";
  for (const ExitStatusUsage& exit : ExitStatuses()) {
    page += ".TP\n.B " + std::to_string(exit.status) + "\n" + RoffEscaped(exit.meaning) + "\n";
  }
  page += ".SH 文件\n" +
          RoffEscaped(
              "设置文件 Pelorin·Gathwrite.ini：设置了 GATHWRITE_SETTINGS 时为它；否则在"
              "程序旁边（文件夹可写时）；否则在 $XDG_CONFIG_HOME/gathwrite/（默认 "
              "~/.config/gathwrite/）。命令行只读取它。") +
          "\n";
  page += ".SH 另见\n.BR gathwrite (1)\n";
  return page;
}

std::string BashCompletion() {
  std::vector<std::string> commands;
  for (const SubcommandUsage& command : Subcommands()) {
    commands.emplace_back(command.name);
  }
  std::vector<std::string> options;
  for (const OptionUsage& option : CommandOptions()) {
    if (!option.shortName.empty()) {
      options.emplace_back(option.shortName);
    }
    options.emplace_back(option.longName);
  }
  std::vector<std::string> names;
  for (const std::string& name : AllOptionNames()) {
    names.push_back(name + "=");
  }
  return "# bash completion for gathwrite-cli, written with the program from its own tables.\n"
         "_gathwrite_cli() {\n"
         "  local cur=${COMP_WORDS[COMP_CWORD]}\n"
         "  local prev=\n"
         "  ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}\n"
         "  local commands=" +
         BashArray(commands) +
         "\n"
         "  local options=" +
         BashArray(options) +
         "\n"
         "  local names=" +
         BashArray(names) +
         "\n"
         "  COMPREPLY=()\n"
         "  case $prev in\n"
         "    --set)\n"
         "      mapfile -t COMPREPLY < <(compgen -W \"${names[*]}\" -- \"$cur\")\n"
         "      compopt -o nospace 2>/dev/null\n"
         "      return 0 ;;\n"
         "    --settings)\n"
         "      mapfile -t COMPREPLY < <(compgen -f -- \"$cur\")\n"
         "      return 0 ;;\n"
         "    -o | --output)\n"
         "      mapfile -t COMPREPLY < <(compgen -d -- \"$cur\")\n"
         "      return 0 ;;\n"
         "    --seed | --threads)\n"
         "      return 0 ;;\n"
         "  esac\n"
         "  if [[ $cur == -* ]]; then\n"
         "    mapfile -t COMPREPLY < <(compgen -W \"${options[*]}\" -- \"$cur\")\n"
         "    return 0\n"
         "  fi\n"
         "  local i word have_command=\n"
         "  for ((i = 1; i < COMP_CWORD; i++)); do\n"
         "    word=${COMP_WORDS[i]}\n"
         "    case $word in\n"
         "      --set | --settings | -o | --output | --seed | --threads) ((i++)) ;;\n"
         "      -*) ;;\n"
         "      *) have_command=1 ;;\n"
         "    esac\n"
         "  done\n"
         "  if [[ -z $have_command ]]; then\n"
         "    mapfile -t COMPREPLY < <(compgen -W \"${commands[*]}\" -- \"$cur\")\n"
         "  else\n"
         "    mapfile -t COMPREPLY < <(compgen -f -- \"$cur\")\n"
         "  fi\n"
         "  return 0\n"
         "}\n"
         "complete -F _gathwrite_cli gathwrite-cli\n";
}

}  // namespace gw::cli
