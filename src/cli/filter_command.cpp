#include "cli/cli_host.h"
#include "cli/commands.h"
#include "cli/stop_signals.h"
#include "cli/terminal_text.h"
#include "cli/usage.h"
#include "engine/batch_replacer.h"

namespace gw::cli {

int FilterCommand(const CommandContext& context) {
  ProgressDisplay progress(context.err, ProgressStyle(context), context.columns);
  CliHost host(context.settings.options, context.settings.effectiveBlockedWords(), progress,
               context.err);

  BatchReplacer replacer(BatchReplaceSettings{context.settings.effectiveBlockedWords(),
                                              context.settings.filterEncoding});
  if (!replacer.usable()) {
    host.reportFileProblem(replacer.problem());
    return kExitFileProblem;
  }
  const std::vector<std::string>& files = context.arguments.files;
  std::size_t processed = 0;
  // A stop request ends the batch after the file in hand, which is then written whole.
  for (std::size_t i = 0; i < files.size() && StopSignal() == 0; ++i) {
    progress.status(BatchProgressTitle(files[i]));
    const BatchFileResult result = replacer.process(files[i]);
    progress.progress(static_cast<int>(i + 1), static_cast<int>(files.size()));
    if (!result.written) {
      host.reportFileProblem(result.problem);
    }
    ++processed;
  }
  progress.clear();
  const std::string stopped = StopSignal() != 0 ? "已停止，" : "";
  context.out << stopped << ToTerminalLine(BatchSummaryText(static_cast<int>(processed))) << '\n'
              << std::flush;
  return host.problems() > 0 ? kExitFileProblem : kExitSuccess;
}

}  // namespace gw::cli
