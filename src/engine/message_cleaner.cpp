#include "engine/message_cleaner.h"

#include "engine/patterns.h"
#include "regex/regex_service.h"

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

}  // namespace

MessageCleaner::MessageCleaner(const Options& options)
    : minimum_(LimitFrom(options.选择框最少字数, options.编辑框最少字数)),
      maximum_(LimitFrom(options.选择框最多字数, options.编辑框最多字数)) {
  lineFold_.create(LineFoldPattern());

  if (options.选择框忽略网址) {
    AppendAlternative(ignorePattern_, WebAddressPattern());
  }
  if (options.选择框忽略数字) {
    const int digits = LeadingInteger(options.编辑框数位);
    if (digits > kLongestDigitRunInPattern) {
      longDigitRun_ = digits;  // kept out of the pattern, which the engine would then reject
    } else {
      AppendAlternative(ignorePattern_, DigitRunPattern(digits));
    }
  }
  if (options.选择框忽略指定) {
    AppendAlternative(ignorePattern_, RegexService::escapeKeepAlternation(options.编辑框忽略字符));
  }
  if (!ignorePattern_.empty()) {
    ignore_.create(ignorePattern_);
  }

  if (options.选择框删除网址) {
    AppendAlternative(deletePattern_, WebAddressPattern());
  }
  if (options.选择框删除邮箱) {
    AppendAlternative(deletePattern_, EmailPattern());
  }
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

void MessageCleaner::appendCleaned(std::u16string_view message, std::string& out) {
  text_.assignUtf16(message);
  if (passes()) {
    text_.appendGbkTo(out);
  }
}

std::string MessageCleaner::cleanText() {
  return passes() ? text_.toGbk() : std::string();
}

bool MessageCleaner::passes() {
  lineFold_.replaceIn(text_, "");
  if (text_.empty()) {
    return false;
  }
  const int length = text_.charCount();
  if (minimum_ > 0 && length < minimum_) {
    return false;
  }
  if (maximum_ > 0 && length > maximum_) {
    return false;
  }
  if (!ignorePattern_.empty() && ignore_.findsMatchIn(text_)) {
    return false;
  }
  if (longDigitRun_ > 0 && HasDigitRun(text_.view(), longDigitRun_)) {
    return false;
  }
  if (!deletePattern_.empty()) {
    delete_.replaceIn(text_, "");
  }
  return true;
}

}  // namespace gw
