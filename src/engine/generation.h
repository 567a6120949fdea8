// One source from start to finish: extraction, paragraphs, articles, finishing and writing.
#pragma once

#include <functional>

#include "engine/extraction.h"
#include "engine/host.h"
#include "engine/message_counts.h"
#include "engine/run_context.h"

namespace gw {

struct SourceResult {
  int articlesWritten = 0;
  LoadFailure failure = LoadFailure::None;
  MessageCounts messages;  // found, taken and dropped by reason
};

// Turns one source into articles. A file source writes one file per article into its output
// folder; a preview writes nothing and hands its articles to the host, the first through
// showPreview, the next ones (up to kPreviewArticleLimit in all) through addPreviewArticle.
// The articles written are also added to the run's counter.
// `halfway`, when given, is called once half of the source's messages have been handed over:
// the moment to read the next file ahead, when the source's text and the parts of its messages
// the feed has left behind are let go. `readAhead` is this file as read ahead (see LoadSource).
SourceResult GenerateFromSource(Host& host, RunContext& run, const SourceRef& source,
                                const std::function<void()>& halfway = {},
                                ReadAhead* readAhead = nullptr);

}  // namespace gw
