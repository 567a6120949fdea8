// What "删除系统提示" takes out of a message: QQ's system notices (withdrawn messages, joins and
// leaves, group renames, pokes), the placeholders that stand for content other than text, and
// @mentions. Works on a message in the engine's form (UTF-16), one character at a time, so that no
// search can start in the middle of a GBK character.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace gw {

// A phrase that makes a one-line message a system notice when it follows the name of the person
// the notice is about.
struct NoticePhrase {
  std::u16string_view text;
  // Renames and pokes: the rest of the line (the new name, the person poked, a suffix) belongs to
  // the notice. After any other phrase only punctuation and white space may follow.
  bool restOfLineBelongs = false;
};

// A placeholder for content that is not text, found between "[" and "]" or between "【" and "】".
struct Placeholder {
  std::u16string_view name;
  // The file placeholder: the file name after it, up to the line end, goes with it.
  bool restOfLineBelongs = false;
};

std::span<const NoticePhrase> NoticePhrases();
std::span<const Placeholder> Placeholders();

// A notice line holds at most this many characters (white space around it not counted), and the
// name before its phrase at most kLongestNoticeName characters (at least one).
inline constexpr std::size_t kLongestNoticeLine = 30;
inline constexpr std::size_t kLongestNoticeName = 20;

// Whether `message` is a system notice: it has exactly one line that is not blank; that line,
// without the white space around it, is at most kLongestNoticeLine characters long, holds no
// comma ("，" or ","; a sentence, not a notice) and holds a notice phrase after a name of 1 to
// kLongestNoticeName characters; after a phrase that ends the notice come only the characters
// "。．.！!～~…" and white space.
bool IsSystemNotice(std::u16string_view message);

// Removes every placeholder, in either bracket style ("[文件]" and "【文件】" with the rest of
// their line). True when something was removed.
bool RemovePlaceholders(std::u16string& text);

// Removes every @mention: an "@" at the start of a line or after white space, and the name after
// it up to the first space (ASCII or full-width, removed with it) or to the line end. An "@"
// directly followed by a space or a line end, or inside a word ("a@b.com"), stays. True when
// something was removed.
bool RemoveMentions(std::u16string& text);

enum class NoticeOutcome {
  Unchanged,  // nothing to take out
  Cleaned,    // `cleaned` holds the message without its placeholders and mentions
  Notice,     // a system notice, or a message left blank once they are taken out
};

// The whole step on one message: `cleaned` is set when the outcome is Cleaned.
NoticeOutcome TakeOutSystemNotices(std::u16string_view message, std::u16string& cleaned);

}  // namespace gw
