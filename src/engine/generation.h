// One source from start to finish: extraction, paragraphs, articles, finishing and writing.
#pragma once

#include <functional>

#include "engine/extraction.h"
#include "engine/host.h"
#include "engine/run_context.h"

namespace gw {

struct SourceResult {
  int articlesWritten = 0;
  LoadFailure failure = LoadFailure::None;
};

// Turns one source into articles. A file source writes one file per article into its output
// folder; a preview writes nothing, stops after the first article and shows it through the host.
// The articles written are also added to the run's counter.
// `afterCut`, when given, is called once the source's messages are found and its text is let go,
// before the first message is composed: the moment to read the next file ahead. `readAhead` is
// this file as read ahead (see LoadSource).
SourceResult GenerateFromSource(Host& host, RunContext& run, const SourceRef& source,
                                const std::function<void()>& afterCut = {},
                                ReadAhead* readAhead = nullptr);

}  // namespace gw
