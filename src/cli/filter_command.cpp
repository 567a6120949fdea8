#include "cli/commands.h"
#include "cli/usage.h"

namespace gw::cli {

int FilterCommand(const CommandContext& context) {
  context.err << "gathwrite-cli: filter is not available yet\n";
  return kExitFileProblem;
}

}  // namespace gw::cli
