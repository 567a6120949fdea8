#include "engine/message_cleaner.h"

#include "engine/line_margins.h"
#include "engine/patterns.h"
#include "engine/system_notices.h"
#include "regex/regex_service.h"
#include "text/charset.h"

namespace gw {
namespace {

int LimitFrom(bool enabled, const std::string& text) {
  const int value = LeadingInteger(text);
  return (enabled && value >= 1) ? value : 0;
}

void AppendAlternative(std::string& pattern, const std::string& alternative) {
  if (!pattern.empty()) {
    pattern += '|';
  }
  pattern += alternative;
}

// Adds an ignore rule to the combined pattern and to the list of rules on their own.
void AddIgnoreRule(std::string& pattern, std::vector<std::pair<DropReason, std::string>>& rules,
                   DropReason reason, const std::string& alternative) {
  AppendAlternative(pattern, alternative);
  rules.emplace_back(reason, alternative);
}

}  // namespace

MessageCleaner::MessageCleaner(const Options& options)
    : minimum_(LimitFrom(options.选择框最少字数, options.编辑框最少字数)),
      maximum_(LimitFrom(options.选择框最多字数, options.编辑框最多字数)),
      systemNotices_(options.选择框删除系统提示) {
  std::vector<std::pair<DropReason, std::string>> ignoreRules;
  if (options.选择框忽略网址) {
    AddIgnoreRule(ignorePattern_, ignoreRules, DropReason::WebAddress, WebAddressPattern());
  }
  if (options.选择框忽略数字) {
    const int digits = LeadingInteger(options.编辑框数位);
    if (digits > kLongestDigitRunInPattern) {
      longDigitRun_ = digits;  // kept out of the pattern, which the engine would then reject
    } else {
      AddIgnoreRule(ignorePattern_, ignoreRules, DropReason::Digits, DigitRunPattern(digits));
    }
  }
  if (options.选择框忽略指定) {
    AddIgnoreRule(ignorePattern_, ignoreRules, DropReason::Words,
                  RegexService::escapeKeepAlternation(options.编辑框忽略字符));
  }
  if (!ignorePattern_.empty()) {
    ignore_.create(ignorePattern_);
  }
  for (auto& [reason, pattern] : ignoreRules) {
    ignoreRules_.emplace_back(reason, RegexService());
    if (ignoreRules.size() > 1) {
      ignoreRules_.back().second.create(pattern);
    }
  }

  if (options.选择框删除网址) {
    AppendAlternative(deletePattern_, WebAddressPattern());
  }
  if (options.选择框删除邮箱) {
    AppendAlternative(deletePattern_, EmailPattern());
  }
  // Web addresses and e-mail addresses alone can only be found around "://", "www" or "@": a
  // message without them is not searched.
  deleteOnlyAddresses_ =
      !options.选择框删除数字 && !options.选择框删除字母 && !options.选择框删除指定;
  if (options.选择框删除数字) {
    AppendAlternative(deletePattern_, DigitPattern());
  }
  if (options.选择框删除字母) {
    AppendAlternative(deletePattern_, LetterPattern());
  }
  if (options.选择框删除指定) {
    AppendAlternative(deletePattern_, RegexService::escapeKeepAlternation(options.编辑框删除字符));
  }
  if (!deletePattern_.empty()) {
    delete_.create(deletePattern_);
  }
}

std::string MessageCleaner::clean(const std::string& message) {
  text_.assignGbk(message);
  return cleanText();
}

std::string MessageCleaner::clean(std::u16string_view message) {
  text_.assignUtf16(message);
  return cleanText();
}

DropReason MessageCleaner::appendCleaned(std::string_view message, std::string& out) {
  GbkToUtf16(message, decoded_);
  text_.assignUtf16(decoded_);
  lastReason_ = check();
  if (lastReason_ == DropReason::None) {
    text_.appendGbkTo(out);
  }
  return lastReason_;
}

std::string MessageCleaner::cleanText() {
  lastReason_ = check();
  return lastReason_ == DropReason::None ? text_.toGbk() : std::string();
}

DropReason MessageCleaner::check() {
  // First, while the message still has its line ends: a placeholder's rest of line ends there.
  if (systemNotices_) {
    switch (TakeOutSystemNotices(text_.view(), noticeRoom_)) {
      case NoticeOutcome::Notice:
        return DropReason::SystemNotice;
      case NoticeOutcome::Cleaned:
        text_.assignUtf16(noticeRoom_);
        break;
      case NoticeOutcome::Unchanged:
        break;
    }
  }
  if (FoldLineBreaks(text_.unitsToShorten())) {
    text_.shortened();
  }
  if (text_.empty()) {
    return DropReason::Empty;
  }
  const int length = text_.charCount();
  if (minimum_ > 0 && length < minimum_) {
    return DropReason::TooShort;
  }
  if (maximum_ > 0 && length > maximum_) {
    return DropReason::TooLong;
  }
  if (!ignorePattern_.empty() && ignore_.findsMatchIn(text_)) {
    return ignoreReason();
  }
  if (longDigitRun_ > 0 && HasDigitRun(text_.view(), longDigitRun_)) {
    return DropReason::Digits;
  }
  if (!deletePattern_.empty() && (!deleteOnlyAddresses_ || MayHoldAddress(text_.view()))) {
    delete_.replaceIn(text_, "");
    if (text_.empty()) {
      return DropReason::Empty;  // nothing left to take
    }
  }
  return DropReason::None;
}

DropReason MessageCleaner::ignoreReason() {
  if (ignoreRules_.size() > 1) {
    for (auto& [reason, rule] : ignoreRules_) {
      if (rule.findsMatchIn(text_)) {
        return reason;
      }
    }
  }
  return ignoreRules_.empty() ? DropReason::Words : ignoreRules_.front().first;
}

}  // namespace gw
