#include "engine/run_context.h"

#include "text/charset.h"

namespace gw {

RunContext::RunContext(std::optional<std::uint64_t> seed, int threads)
    : random_(seed ? RandomSource(*seed) : RandomSource::Unseeded()), pool_(threads) {}

void RunContext::loadBlockedWords(Host& host, const Options& options) {
  if (!options.选择框过滤屏蔽词) {
    return;
  }
  static const std::string status = Utf8ToGbk("正在初始化屏蔽词过滤器..");
  host.setStatus(status);
  const BlockedWordSettings settings = host.blockedWordSettings();
  LibraryStatus library = LibraryStatus::Read;
  blockedWords_ = LoadBlockedWords(settings, library);
  if (library == LibraryStatus::TooLarge) {
    // The run goes on without blocked words, as with a library that cannot be read, but the
    // user learns why nothing is filtered.
    host.reportFileProblem(LibraryTooLargeText(settings.libraryPath));
  }
}

}  // namespace gw
