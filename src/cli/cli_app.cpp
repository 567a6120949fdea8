#include "cli/cli_app.h"

#include <system_error>

#include "cli/commands.h"
#include "cli/usage.h"
#include "settings/settings_location.h"

namespace gw::cli {
namespace {

int UsageError(std::ostream& err, const std::string& message) {
  err << "gathwrite-cli: " << message << '\n' << kUsageHint << '\n';
  return kExitUsage;
}

}  // namespace

int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
           bool errIsTerminal) {
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
    err << "gathwrite-cli: settings file '" << settingsFile.string()
        << "' not found; the form defaults apply\n";
  }
  CliSettings settings = ReadCliSettings(settingsFile);
  if (const auto error = ApplyOverrides(settings, args.overrides)) {
    return UsageError(err, *error);
  }

  const CommandContext context{args, settings, out, err, errIsTerminal};
  switch (args.command) {
    case Command::Generate:
      return GenerateCommand(context);
    case Command::Preview:
      return PreviewCommand(context);
    case Command::Messages:
      return MessagesCommand(context);
    case Command::Filter:
      return FilterCommand(context);
    case Command::Help:
    case Command::Version:
      break;
  }
  return kExitSuccess;
}

}  // namespace gw::cli
