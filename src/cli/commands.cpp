#include "cli/commands.h"

#include <algorithm>

#include "cli/cli_host.h"
#include "cli/option_listing.h"
#include "cli/stop_signals.h"
#include "cli/terminal_text.h"
#include "cli/usage.h"
#include "engine/extraction.h"
#include "engine/output_writer.h"
#include "engine/run_context.h"
#include "engine/run_driver.h"
#include "engine/source_problems.h"
#include "text/source_reader.h"

namespace gw::cli {
namespace {

int ExitStatus(const CliHost& host) {
  return host.problems() > 0 ? kExitFileProblem : kExitSuccess;
}

// The folders the articles of the first `processed` sources went to, each once, in run order.
std::vector<std::filesystem::path> OutputFolders(const std::vector<std::string>& paths,
                                                 int processed, const Options& options) {
  std::vector<std::filesystem::path> folders;
  for (int i = 0; i < processed && i < static_cast<int>(paths.size()); ++i) {
    const std::filesystem::path folder =
        OutputFolderFor(paths[static_cast<std::size_t>(i)], options.编辑框保存文件夹);
    std::error_code ignored;
    if (std::filesystem::is_directory(folder, ignored) &&
        std::find(folders.begin(), folders.end(), folder) == folders.end()) {
      folders.push_back(folder);
    }
  }
  return folders;
}

}  // namespace

ProgressDisplay::Style ProgressStyle(const CommandContext& context) {
  if (context.arguments.quiet) {
    return ProgressDisplay::Style::Silent;
  }
  return context.errIsTerminal ? ProgressDisplay::Style::Bar : ProgressDisplay::Style::Lines;
}

std::string SourcePath(const std::string& argument) {
  return argument == kStandardInput ? "/dev/stdin" : argument;
}

int GenerateCommand(const CommandContext& context) {
  ProgressDisplay progress(context.err, ProgressStyle(context), context.columns);
  CliHost host(context.settings.options, context.settings.effectiveBlockedWords(), progress,
               context.err);
  std::vector<std::string> paths;
  for (const std::string& file : context.arguments.files) {
    paths.push_back(SourcePath(file));
  }
  const RunOutcome outcome =
      RunFiles(host, paths, context.arguments.seed,
               context.arguments.threads.value_or(WorkPool::ProcessorCount()));
  progress.clear();
  const std::string stopped = StopSignal() != 0 ? "已停止，" : "";
  // The summary's lines: the first as the status line shows it, then the message counts.
  context.out << stopped << ToTerminalText(outcome.summary) << '\n';
  if (outcome.articlesWritten > 0) {
    for (const std::filesystem::path& folder :
         OutputFolders(paths, outcome.filesProcessed, context.settings.options)) {
      context.out << "文章保存在：" << folder.string() << '\n';
    }
  }
  context.out << std::flush;
  return ExitStatus(host);
}

int PreviewCommand(const CommandContext& context) {
  ProgressDisplay progress(context.err, ProgressDisplay::Style::Silent);
  CliHost host(context.settings.options, context.settings.effectiveBlockedWords(), progress,
               context.err);
  const std::string& path = context.arguments.files.front();
  TextEncoding detected = TextEncoding::Gbk;
  SourceRead text = ReadSource(
      SourcePath(path), static_cast<TextEncoding>(context.settings.options.组合框编码), detected);
  if (text.status != SourceStatus::Read) {
    host.reportFileProblem(SourceProblemText(text.status, path, text.error));
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
    context.err << "gathwrite-cli: " << path << "：没有剩下可组合成文章的消息\n";
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
  LoadedSource loaded = LoadSource(host, run, options, SourceRef{false, SourcePath(path), 1, 1});
  if (loaded.failure == LoadFailure::Unreadable) {
    host.reportFileProblem(SourceProblemText(loaded.readStatus, path, loaded.readError));
  }
  if (loaded.failure != LoadFailure::None) {
    return ExitStatus(host);
  }
  MessageList messages(std::move(loaded.text), host);
  if (messages.count() == 0 && !host.stopRequested()) {
    host.reportFileProblem(NoChatMessagesText(path));
    return ExitStatus(host);
  }
  const bool stats = context.arguments.stats;
  const MessageCounts counts =
      FeedMessages(host, run, messages, options, [&](int, int, std::string_view message) {
        if (!message.empty() && !stats) {
          context.out << ToTerminalLine(message) << '\n';
        }
        return true;
      });
  if (stats) {
    context.out << ToTerminalText(MessageCountsText(counts)) << '\n';
  }
  context.out << std::flush;
  return ExitStatus(host);
}

int OptionsCommand(const CommandContext& context) {
  const std::vector<OptionDescription> options = DescribeOptions(context.settings);
  context.out << (context.arguments.json ? OptionsAsJson(options) : OptionsAsText(options))
              << std::flush;
  return kExitSuccess;
}

}  // namespace gw::cli
