#include "cli/cli_arguments.h"

#include <algorithm>
#include <charconv>

namespace gw::cli {
namespace {

struct CommandName {
  std::string_view name;
  Command command;
};

constexpr CommandName kCommands[] = {
    {"generate", Command::Generate}, {"preview", Command::Preview}, {"messages", Command::Messages},
    {"filter", Command::Filter},     {"options", Command::Options},
};

// Splits "--name=value" into its parts; `value` stays empty without "=".
bool SplitInlineValue(std::string_view argument, std::string_view& name, std::string_view& value) {
  const std::size_t equals = argument.find('=');
  if (equals == std::string_view::npos) {
    name = argument;
    return false;
  }
  name = argument.substr(0, equals);
  value = argument.substr(equals + 1);
  return true;
}

// The usage error of files that do not suit the command, or the empty text.
std::string CheckFiles(const CliArguments& arguments, std::string_view command) {
  const std::string name(command);
  if (arguments.stats && arguments.command != Command::Messages) {
    return "选项 --stats 只用于 messages";
  }
  if (arguments.command == Command::Options) {
    return arguments.files.empty() ? std::string() : "options 不接受文件";
  }
  if (arguments.json) {
    return "选项 --json 只用于 options";
  }
  if (arguments.files.empty()) {
    return name + " 缺少文件";
  }
  if ((arguments.command == Command::Preview || arguments.command == Command::Messages) &&
      arguments.files.size() > 1) {
    return name + " 只接受一个文件";
  }
  const auto stdinCount =
      std::count(arguments.files.begin(), arguments.files.end(), kStandardInput);
  if (stdinCount > 0 && arguments.command == Command::Filter) {
    return "filter 不能读取标准输入（-）：它把结果写在每个文件旁边";
  }
  if (stdinCount > 1) {
    return "标准输入（-）只能读取一次";
  }
  return {};
}

}  // namespace

bool CliArguments::readsStandardInput() const {
  return std::find(files.begin(), files.end(), kStandardInput) != files.end();
}

std::optional<std::uint64_t> ParseSeed(std::string_view text) {
  std::uint64_t seed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seed);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return seed;
}

std::optional<int> ParseThreadCount(std::string_view text) {
  int count = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || count < 1 ||
      count > kMostThreads) {
    return std::nullopt;
  }
  return count;
}

ParsedArguments ParseArguments(const std::vector<std::string>& arguments) {
  ParsedArguments parsed;
  CliArguments& result = parsed.arguments;
  bool haveCommand = false;
  std::string_view commandName;
  bool optionsEnded = false;

  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
      if (!haveCommand) {
        for (const CommandName& known : kCommands) {
          if (known.name == argument) {
            result.command = known.command;
            haveCommand = true;
            commandName = known.name;
          }
        }
        if (!haveCommand) {
          parsed.usageError = "未知的子命令：" + std::string(argument);
          return parsed;
        }
      } else {
        result.files.emplace_back(argument);
      }
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    if (argument == "--help" || argument == "-h") {
      result.command = Command::Help;
      return parsed;
    }
    if (argument == "--version") {
      result.command = Command::Version;
      return parsed;
    }
    if (argument == "--quiet" || argument == "-q") {
      result.quiet = true;
      continue;
    }
    if (argument == "--json") {
      result.json = true;
      continue;
    }
    if (argument == "--stats") {
      result.stats = true;
      continue;
    }

    std::string_view name;
    std::string_view value;
    const bool inlineValue = SplitInlineValue(argument, name, value);
    if (name == "-o") {
      name = "--output";
    }
    if (name != "--settings" && name != "--set" && name != "--seed" && name != "--output" &&
        name != "--threads") {
      parsed.usageError = "未知的选项：" + std::string(argument);
      return parsed;
    }
    if (!inlineValue) {
      if (i + 1 >= arguments.size()) {
        parsed.usageError = "选项 " + std::string(name) + " 需要一个值";
        return parsed;
      }
      value = arguments[++i];
    }
    if (name == "--settings") {
      if (value.empty()) {
        parsed.usageError = "选项 --settings 需要一个路径";
        return parsed;
      }
      result.settingsFile = std::filesystem::path(std::string(value));
    } else if (name == "--output") {
      if (value.empty()) {
        parsed.usageError = "选项 --output 需要一个文件夹";
        return parsed;
      }
      result.overrides.push_back({std::string(kOutputFolderOption), std::string(value)});
    } else if (name == "--seed") {
      result.seed = ParseSeed(value);
      if (!result.seed) {
        parsed.usageError = "种子无效：" + std::string(value) + "（应为 0 或更大的整数）";
        return parsed;
      }
    } else if (name == "--threads") {
      result.threads = ParseThreadCount(value);
      if (!result.threads) {
        parsed.usageError = "线程数无效：" + std::string(value) + "（应为 1 到 " +
                            std::to_string(kMostThreads) + " 的整数）";
        return parsed;
      }
    } else {
      const std::size_t equals = value.find('=');
      if (equals == std::string_view::npos || equals == 0) {
        parsed.usageError = "--set 的参数无效：" + std::string(value) + "（应为 名称=值）";
        return parsed;
      }
      result.overrides.push_back(
          {std::string(value.substr(0, equals)), std::string(value.substr(equals + 1))});
    }
  }

  if (!haveCommand) {
    parsed.usageError = "缺少子命令";
    return parsed;
  }
  parsed.usageError = CheckFiles(result, commandName);
  return parsed;
}

}  // namespace gw::cli
