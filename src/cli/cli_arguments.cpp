#include "cli/cli_arguments.h"

#include <charconv>

namespace gw::cli {
namespace {

struct CommandName {
  std::string_view name;
  Command command;
};

constexpr CommandName kCommands[] = {
    {"generate", Command::Generate},
    {"preview", Command::Preview},
    {"messages", Command::Messages},
    {"filter", Command::Filter},
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

std::string CheckFileCount(const CliArguments& arguments, std::string_view command) {
  if (arguments.files.empty()) {
    return "missing file for '" + std::string(command) + "'";
  }
  if ((arguments.command == Command::Preview || arguments.command == Command::Messages) &&
      arguments.files.size() > 1) {
    return "'" + std::string(command) + "' takes one file";
  }
  return {};
}

}  // namespace

std::optional<std::uint64_t> ParseSeed(std::string_view text) {
  std::uint64_t seed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seed);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return seed;
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
          parsed.usageError = "unknown subcommand '" + std::string(argument) + "'";
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

    std::string_view name;
    std::string_view value;
    const bool inlineValue = SplitInlineValue(argument, name, value);
    if (name != "--settings" && name != "--set" && name != "--seed") {
      parsed.usageError = "unknown option '" + std::string(argument) + "'";
      return parsed;
    }
    if (!inlineValue) {
      if (i + 1 >= arguments.size()) {
        parsed.usageError = "option '" + std::string(name) + "' needs a value";
        return parsed;
      }
      value = arguments[++i];
    }
    if (name == "--settings") {
      if (value.empty()) {
        parsed.usageError = "option '--settings' needs a path";
        return parsed;
      }
      result.settingsFile = std::filesystem::path(std::string(value));
    } else if (name == "--seed") {
      result.seed = ParseSeed(value);
      if (!result.seed) {
        parsed.usageError = "bad seed '" + std::string(value) + "': a whole number 0 or above";
        return parsed;
      }
    } else {
      const std::size_t equals = value.find('=');
      if (equals == std::string_view::npos || equals == 0) {
        parsed.usageError = "bad --set '" + std::string(value) + "': expected NAME=VALUE";
        return parsed;
      }
      result.overrides.push_back(
          {std::string(value.substr(0, equals)), std::string(value.substr(equals + 1))});
    }
  }

  if (!haveCommand) {
    parsed.usageError = "missing subcommand";
    return parsed;
  }
  parsed.usageError = CheckFileCount(result, commandName);
  return parsed;
}

}  // namespace gw::cli
