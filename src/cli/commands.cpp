#include "cli/commands.h"

#include "cli/cli_host.h"
#include "cli/terminal_text.h"
#include "cli/usage.h"
#include "engine/extraction.h"
#include "engine/run_context.h"
#include "engine/run_driver.h"
#include "engine/source_problems.h"
#include "text/source_reader.h"

namespace gw::cli {
namespace {

ProgressDisplay::Style ProgressStyle(const CommandContext& context) {
  if (context.arguments.quiet) {
    return ProgressDisplay::Style::Silent;
  }
  return context.errIsTerminal ? ProgressDisplay::Style::Bar : ProgressDisplay::Style::Lines;
}

int ExitStatus(const CliHost& host) {
  return host.problems() > 0 ? kExitFileProblem : kExitSuccess;
}

}  // namespace

int GenerateCommand(const CommandContext& context) {
  ProgressDisplay progress(context.err, ProgressStyle(context));
  CliHost host(context.settings.options, context.settings.effectiveBlockedWords(), progress,
               context.err);
  const RunOutcome outcome = RunFiles(host, context.arguments.files, context.arguments.seed);
  progress.clear();
  context.out << ToTerminalLine(outcome.summary) << '\n' << std::flush;
  return ExitStatus(host);
}

int PreviewCommand(const CommandContext& context) {
  ProgressDisplay progress(context.err, ProgressDisplay::Style::Silent);
  CliHost host(context.settings.options, context.settings.effectiveBlockedWords(), progress,
               context.err);
  const std::string& path = context.arguments.files.front();
  TextEncoding detected = TextEncoding::Gbk;
  SourceRead text =
      ReadSource(path, static_cast<TextEncoding>(context.settings.options.组合框编码), detected);
  if (text.status != SourceStatus::Read) {
    host.reportFileProblem(SourceProblemText(text.status, path));
    return ExitStatus(host);
  }
  host.setPreviewText(std::move(text.text));
  RunPreview(host, context.arguments.seed);
  if (host.hasPreview()) {
    std::string article = ToTerminalText(host.previewArticle());
    if (!article.empty() && article.back() != '\n') {
      article += '\n';
    }
    context.out << ToTerminalLine(host.previewTitle()) << '\n' << article << std::flush;
  } else if (host.problems() == 0 && !context.arguments.quiet) {
    context.err << "gathwrite-cli: " << path << ": no message is left to compose an article\n";
  }
  return ExitStatus(host);
}

int MessagesCommand(const CommandContext& context) {
  ProgressDisplay progress(context.err, ProgressDisplay::Style::Silent);
  CliHost host(context.settings.options, context.settings.effectiveBlockedWords(), progress,
               context.err);
  const Options& options = *host.currentOptions();
  const std::string& path = context.arguments.files.front();
  RunContext run(context.arguments.seed);
  run.loadBlockedWords(host, options);
  LoadedSource loaded = LoadSource(host, run, options, SourceRef{false, path, 1, 1});
  if (loaded.failure == LoadFailure::Unreadable) {
    host.reportFileProblem(SourceProblemText(loaded.readStatus, path));
  }
  if (loaded.failure != LoadFailure::None) {
    return ExitStatus(host);
  }
  MessageCleaner cleaner(options);
  const MessageList messages(std::move(loaded.text), host);
  if (messages.count() == 0 && !host.stopRequested()) {
    host.reportFileProblem(NoChatMessagesText(path));
    return ExitStatus(host);
  }
  FeedMessages(host, run, messages, cleaner, [&](int, int, const std::string& message) {
    if (!message.empty()) {
      context.out << ToTerminalLine(message) << '\n';
    }
    return true;
  });
  context.out << std::flush;
  return ExitStatus(host);
}

}  // namespace gw::cli
