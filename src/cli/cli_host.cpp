#include "cli/cli_host.h"

#include "cli/stop_signals.h"
#include "cli/terminal_text.h"
#include "engine/run_driver.h"
#include "text/charset.h"

namespace gw::cli {

CliHost::CliHost(Options options, BlockedWordSettings blockedWords, ProgressDisplay& progress,
                 std::ostream& errors)
    : options_(std::make_shared<const Options>(std::move(options))),
      blockedWords_(std::move(blockedWords)),
      progress_(progress),
      errors_(errors) {}

void CliHost::setStatus(std::string_view text) {
  static const std::string summaryStart = Utf8ToGbk("处理完成，共处理 ");
  if (text == RestingStatusText() || text.starts_with(summaryStart)) {
    return;
  }
  progress_.status(text);
}

bool CliHost::stopRequested() {
  return StopSignal() != 0;
}

void CliHost::turnOffWordInsertion() {
  auto options = std::make_shared<Options>(*options_);
  options->选择框插入词 = false;
  options_ = std::move(options);
}

void CliHost::showPreview(std::string_view title, std::string_view article) {
  hasPreview_ = true;
  previewTitle_ = title;
  previewArticle_ = article;
}

void CliHost::report(std::string_view text) {
  ++problems_;
  progress_.clear();
  errors_ << "gathwrite-cli: " << ToTerminalLine(text) << '\n' << std::flush;
}

}  // namespace gw::cli
