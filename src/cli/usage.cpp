#include "cli/usage.h"

#ifndef GW_VERSION
#error "GW_VERSION must name the project version"
#endif

namespace gw::cli {

std::string_view UsageText() {
  return R"(Usage:
  gathwrite-cli generate [OPTIONS] FILE...   run over the files; writes article files
  gathwrite-cli preview  [OPTIONS] FILE      first article of FILE: its title on line 1, then the article; writes nothing
  gathwrite-cli messages [OPTIONS] FILE      every message handed to composition, in order of use, one per line
  gathwrite-cli filter   [OPTIONS] FILE...   batch blocked-word replacer: writes <name>_已过滤.<ext> beside each file
  gathwrite-cli --help | --version
OPTIONS
  --settings PATH        settings file to read (default: the program's settings file); never created or changed
  --set NAME=VALUE       override one option; repeatable. NAME is a main-window control name (e.g. 选择框打乱消息顺序,
                         编辑框连横1, 组合框标题位置) or "屏蔽词过滤器/KEY" for a key of that settings section
                         (词库, 分隔符, 换行符, 单选框换行符, 代替符, 编码). Check boxes take 真/假 (also 1/0, true/false);
                         combo boxes take the 0-based index or the item's text; edit boxes take text (may be empty).
  --seed N               seed every random draw: same seed, input and options give byte-identical output
  --quiet                no progress on stderr
Exit status: 0 success; 1 a file could not be read or written, or a pattern was rejected;
2 a usage error.
)";
}

std::string_view VersionText() {
  return "gathwrite-cli " GW_VERSION;
}

}  // namespace gw::cli
