// Per-message cleaning: line folding, length limits, ignore rules, delete rules.
#pragma once

#include <string>
#include <string_view>

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
  // Appends the cleaned message to `out`; nothing when a rule drops it.
  void appendCleaned(std::u16string_view message, std::string& out);

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
  RegexService lineFold_;
  RegexService ignore_;
  RegexService delete_;
  EngineText text_;  // the message on its way through the rules, kept for its room

  // Runs the rules over text_; false when one drops the message.
  bool passes();
  std::string cleanText();
};

}  // namespace gw
