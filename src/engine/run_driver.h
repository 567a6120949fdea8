// A generation run over the files the user picked, and the preview of the source-message box.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/host.h"
#include "engine/message_counts.h"

namespace gw {

struct RunOutcome {
  int filesProcessed = 0;
  int articlesWritten = 0;
  // Unreadable sources, sources whose custom pattern was rejected and sources without any chat
  // message.
  int filesFailed = 0;
  MessageCounts messages;  // of every source processed, added up
  // GBK, lines joined by "\n": "处理完成，共处理 n 个文件，生成 m 篇", then the message counts
  // (MessageCountsText). Empty when the list was empty.
  std::string summary;
};

// Processes `paths` in order (file-system paths), writing the articles of each, until the last
// file or a stop request (the file during which the stop came counts as processed). Ends with
// the summary's first line "处理完成，共处理 n 个文件，生成 m 篇" on the status line, the whole
// summary through the host, then the status line's resting text. The counts are those of the
// one source, or of all sources added up. With a seed every random draw is reproducible, and the
// articles are the same byte for byte whatever the number of threads. `threads` in all, the
// calling thread's included: 1 runs everything on the calling thread.
RunOutcome RunFiles(Host& host, const std::vector<std::string>& paths,
                    std::optional<std::uint64_t> seed = std::nullopt, int threads = 1);

// Composes the articles of the source-message box (up to kPreviewArticleLimit) and hands them to
// the host, the first through showPreview; writes nothing. The first article is the same
// whether or not the host looks at the others.
void RunPreview(Host& host, std::optional<std::uint64_t> seed = std::nullopt);

// The status line's resting text (GBK).
const std::string& RestingStatusText();

}  // namespace gw
