#include "cli/cli_host.h"
#include "cli/commands.h"
#include "cli/terminal_text.h"
#include "cli/usage.h"
#include "engine/batch_replacer.h"

namespace gw::cli {

int FilterCommand(const CommandContext& context) {
  const ProgressDisplay::Style style = context.arguments.quiet ? ProgressDisplay::Style::Silent
                                       : context.errIsTerminal ? ProgressDisplay::Style::Bar
                                                               : ProgressDisplay::Style::Lines;
  ProgressDisplay progress(context.err, style);
  CliHost host(context.settings.options, context.settings.effectiveBlockedWords(), progress,
               context.err);

  BatchReplacer replacer(BatchReplaceSettings{context.settings.effectiveBlockedWords(),
                                              context.settings.filterEncoding});
  if (!replacer.usable()) {
    host.reportFileProblem(replacer.problem());
    return kExitFileProblem;
  }
  const std::vector<std::string>& files = context.arguments.files;
  for (std::size_t i = 0; i < files.size(); ++i) {
    progress.status(BatchProgressTitle(files[i]));
    const BatchFileResult result = replacer.process(files[i]);
    progress.progress(static_cast<int>(i + 1), static_cast<int>(files.size()));
    if (!result.written) {
      host.reportFileProblem(result.problem);
    }
  }
  progress.clear();
  context.out << ToTerminalLine(BatchSummaryText(static_cast<int>(files.size()))) << '\n'
              << std::flush;
  return host.problems() > 0 ? kExitFileProblem : kExitSuccess;
}

}  // namespace gw::cli
