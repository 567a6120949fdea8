#include "cli/cli_app.h"

#include <system_error>

#include "cli/commands.h"
#include "cli/stop_signals.h"
#include "cli/usage.h"
#include "settings/settings_location.h"

namespace gw::cli {
namespace {

int UsageError(std::ostream& err, const std::string& message) {
  err << "gathwrite-cli: " << message << '\n' << kUsageHint << '\n';
  return kExitUsage;
}

// The status a command ends with: that of a stop signal when one came.
int WithStopSignal(int status) {
  const int signal = StopSignal();
  return signal != 0 ? kExitSignalBase + signal : status;
}

}  // namespace

int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
           bool errIsTerminal, ProgressDisplay::ColumnSource columns) {
  const ParsedArguments parsed = ParseArguments(arguments);
  if (!parsed.usageError.empty()) {
    return UsageError(err, parsed.usageError);
  }
  const CliArguments& args = parsed.arguments;
  if (args.command == Command::Help) {
    out << UsageText();
    return kExitSuccess;
  }
  if (args.command == Command::Version) {
    out << VersionText() << '\n';
    return kExitSuccess;
  }

  const std::filesystem::path settingsFile =
      args.settingsFile ? *args.settingsFile : SettingsFileLocation();
  std::error_code ignored;
  if (args.settingsFile && !std::filesystem::exists(settingsFile, ignored) && !args.quiet) {
    err << "gathwrite-cli: 找不到设置文件 " << settingsFile.string() << "，使用窗体默认值\n";
  }
  CliSettings settings = ReadCliSettings(settingsFile);
  if (const auto error = ApplyOverrides(settings, args.overrides)) {
    return UsageError(err, *error);
  }
  // Articles from standard input have no source folder to go beside.
  if (args.command == Command::Generate && args.readsStandardInput() &&
      settings.options.编辑框保存文件夹.empty()) {
    return UsageError(err, "从标准输入（-）生成文章时需要用 -o 文件夹 指定输出文件夹");
  }

  const CommandContext context{args, settings, out, err, errIsTerminal, std::move(columns)};
  switch (args.command) {
    case Command::Generate:
      return WithStopSignal(GenerateCommand(context));
    case Command::Preview:
      return WithStopSignal(PreviewCommand(context));
    case Command::Messages:
      return WithStopSignal(MessagesCommand(context));
    case Command::Filter:
      return WithStopSignal(FilterCommand(context));
    case Command::Options:
      return OptionsCommand(context);
    case Command::Help:
    case Command::Version:
      break;
  }
  return kExitSuccess;
}

}  // namespace gw::cli
