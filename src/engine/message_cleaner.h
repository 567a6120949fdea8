// Per-message cleaning: system notices, line folding, length limits, ignore rules, delete rules.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/message_counts.h"
#include "engine/options.h"
#include "regex/engine_text.h"
#include "regex/regex_service.h"

namespace gw {

class MessageCleaner {
 public:
  // Reads the limits and builds the patterns from the options as they stand when a source starts.
  explicit MessageCleaner(const Options& options);

  // The cleaned message; empty when a rule drops it.
  std::string clean(const std::string& message);
  // The same for a message in the regular-expression engine's form (Utf16ToGbk of `message` is
  // the message): it is converted once, after every rule has run.
  std::string clean(std::u16string_view message);
  // Appends the cleaned message to `out`; nothing when a rule drops it. Returns the rule that
  // dropped it, None when it is taken. The message's GBK bytes are read as characters first, so
  // that bytes that are no character come out as "?", as with clean(std::u16string_view).
  DropReason appendCleaned(std::string_view message, std::string& out);
  // Why the last message cleaned was dropped; None when it was taken.
  DropReason lastDropReason() const { return lastReason_; }

  int minimumLength() const { return minimum_; }
  int maximumLength() const { return maximum_; }
  const std::string& ignorePattern() const { return ignorePattern_; }
  const std::string& deletePattern() const { return deletePattern_; }

 private:
  int minimum_ = 0;  // 0: no limit
  int maximum_ = 0;
  std::string ignorePattern_;
  std::string deletePattern_;
  // A digit-run ignore rule too long for the ignore pattern, tested on its own; 0: none.
  int longDigitRun_ = 0;
  bool systemNotices_ = false;
  RegexService ignore_;
  // The ignore rules that are on, in the order of the combined pattern; when more than one is on,
  // each with its own pattern, to tell which dropped a message that the combined pattern found.
  std::vector<std::pair<DropReason, RegexService>> ignoreRules_;
  RegexService delete_;
  bool deleteOnlyAddresses_ = false;  // the delete rules on are web and e-mail addresses alone
  EngineText text_;                   // the message on its way through the rules, kept for its room
  std::u16string noticeRoom_;         // room in which the notice step builds its result
  std::u16string decoded_;            // room in which appendCleaned() reads a message's characters
  DropReason lastReason_ = DropReason::None;

  // Runs the rules over text_; the rule that drops the message, or None.
  DropReason check();
  // Which ignore rule dropped a message that the combined ignore pattern found.
  DropReason ignoreReason();
  std::string cleanText();
};

}  // namespace gw
