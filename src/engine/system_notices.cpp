#include "engine/system_notices.h"

#include <algorithm>
#include <array>

namespace gw {
namespace {

constexpr char16_t kFullWidthSpace = u'\u3000';

constexpr std::array kNoticePhrases = {
    NoticePhrase{u"撤回了一条消息"},     NoticePhrase{u"撤回了一条成员消息"},
    NoticePhrase{u"加入本群"},           NoticePhrase{u"加入了群聊"},
    NoticePhrase{u"退出了群聊"},         NoticePhrase{u"退出本群"},
    NoticePhrase{u"被移出群聊"},         NoticePhrase{u"修改群名称为", true},
    NoticePhrase{u"修改了群名称", true}, NoticePhrase{u"拍了拍", true},
};

constexpr std::array kPlaceholders = {
    Placeholder{u"语音"},     Placeholder{u"视频"},     Placeholder{u"文件", true},
    Placeholder{u"红包"},     Placeholder{u"QQ红包"},   Placeholder{u"闪照"},
    Placeholder{u"位置"},     Placeholder{u"名片"},     Placeholder{u"动画表情"},
    Placeholder{u"语音通话"}, Placeholder{u"视频通话"}, Placeholder{u"转发消息"},
};

// What may follow a phrase that ends a notice, besides white space.
constexpr std::u16string_view kClosingPunctuation = u"。．.！!～~…";

bool IsLineBreak(char16_t c) {
  return c == u'\r' || c == u'\n';
}

// White space within a line.
bool IsSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == kFullWidthSpace;
}

bool IsBlank(std::u16string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char16_t c) { return IsSpace(c) || IsLineBreak(c); });
}

std::u16string_view TrimSpaces(std::u16string_view line) {
  while (!line.empty() && IsSpace(line.front())) {
    line.remove_prefix(1);
  }
  while (!line.empty() && IsSpace(line.back())) {
    line.remove_suffix(1);
  }
  return line;
}

// The message's only line that is not blank, without the white space around it; empty when it
// has none or more than one.
std::u16string_view OnlyLine(std::u16string_view message) {
  std::u16string_view found;
  while (!message.empty()) {
    // One search for either line end: searching for each on its own would run to the end of a
    // long message whose lines end in only one of them, at every line.
    const std::size_t end = message.find_first_of(u"\r\n");  // npos when it is the last line
    const std::u16string_view line = TrimSpaces(message.substr(0, end));
    if (!line.empty()) {
      if (!found.empty()) {
        return {};
      }
      found = line;
    }
    message.remove_prefix(end == std::u16string_view::npos ? message.size() : end + 1);
  }
  return found;
}

bool OnlyClosingPunctuation(std::u16string_view rest) {
  return std::all_of(rest.begin(), rest.end(), [](char16_t c) {
    return IsSpace(c) || kClosingPunctuation.find(c) != std::u16string_view::npos;
  });
}

// The length of the placeholder that starts at `at` (with the rest of its line when it takes it),
// or 0.
std::size_t PlaceholderAt(std::u16string_view text, std::size_t at) {
  const char16_t open = text[at];
  if (open != u'[' && open != u'【') {
    return 0;
  }
  const char16_t close = open == u'[' ? u']' : u'】';
  for (const Placeholder& placeholder : kPlaceholders) {
    const std::u16string_view after = text.substr(at + 1);
    if (!after.starts_with(placeholder.name) ||
        after.substr(placeholder.name.size()).substr(0, 1) != std::u16string_view(&close, 1)) {
      continue;
    }
    std::size_t end = at + 1 + placeholder.name.size() + 1;
    if (placeholder.restOfLineBelongs) {
      while (end < text.size() && !IsLineBreak(text[end])) {
        ++end;
      }
    }
    return end - at;
  }
  return 0;
}

// The length of the @mention that starts at `at` (with the space that ends its name), or 0.
std::size_t MentionAt(std::u16string_view text, std::size_t at) {
  if (text[at] != u'@' || (at > 0 && !IsSpace(text[at - 1]) && !IsLineBreak(text[at - 1]))) {
    return 0;
  }
  std::size_t end = at + 1;
  while (end < text.size() && text[end] != u' ' && text[end] != kFullWidthSpace &&
         !IsLineBreak(text[end])) {
    ++end;
  }
  if (end == at + 1) {
    return 0;  // no name
  }
  if (end < text.size() && !IsLineBreak(text[end])) {
    ++end;  // the space that ends the name
  }
  return end - at;
}

// Removes, from left to right, every span whose length `spanAt(text, at)` gives (0: none starts
// at `at`); the search goes on after a removed span. True when something was removed.
bool RemoveSpans(std::u16string& text,
                 std::size_t (*spanAt)(std::u16string_view text, std::size_t at)) {
  std::u16string kept;
  std::size_t copiedUpTo = 0;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = spanAt(text, at);
    if (length == 0) {
      ++at;
      continue;
    }
    kept.append(text, copiedUpTo, at - copiedUpTo);
    copiedUpTo = at + length;
    at = copiedUpTo;
  }
  if (copiedUpTo == 0) {
    return false;
  }
  kept.append(text, copiedUpTo);
  text = std::move(kept);
  return true;
}

}  // namespace

std::span<const NoticePhrase> NoticePhrases() {
  return kNoticePhrases;
}

std::span<const Placeholder> Placeholders() {
  return kPlaceholders;
}

bool IsSystemNotice(std::u16string_view message) {
  const std::u16string_view line = OnlyLine(message);
  if (line.empty() || line.size() > kLongestNoticeLine ||
      line.find_first_of(u"，,") != std::u16string_view::npos) {
    return false;
  }
  for (const NoticePhrase& phrase : kNoticePhrases) {
    for (std::size_t at = line.find(phrase.text, 1);
         at != std::u16string_view::npos && at <= kLongestNoticeName;
         at = line.find(phrase.text, at + 1)) {
      if (phrase.restOfLineBelongs ||
          OnlyClosingPunctuation(line.substr(at + phrase.text.size()))) {
        return true;
      }
    }
  }
  return false;
}

bool RemovePlaceholders(std::u16string& text) {
  return RemoveSpans(text, PlaceholderAt);
}

bool RemoveMentions(std::u16string& text) {
  return RemoveSpans(text, MentionAt);
}

NoticeOutcome TakeOutSystemNotices(std::u16string_view message, std::u16string& cleaned) {
  if (IsSystemNotice(message)) {
    return NoticeOutcome::Notice;
  }
  if (message.find_first_of(u"[【@") == std::u16string_view::npos) {
    return NoticeOutcome::Unchanged;  // the common case, without a copy
  }
  cleaned.assign(message);
  const bool placeholders = RemovePlaceholders(cleaned);
  const bool mentions = RemoveMentions(cleaned);
  if (!placeholders && !mentions) {
    return NoticeOutcome::Unchanged;
  }
  return IsBlank(cleaned) ? NoticeOutcome::Notice : NoticeOutcome::Cleaned;
}

}  // namespace gw
