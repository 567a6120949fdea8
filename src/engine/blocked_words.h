// The blocked-word filter: a word library (a GBK text file of words separated by a separator) and
// a replacement text. Filtering replaces, word by word in library order, every occurrence of the
// word with the replacement.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/word_library.h"

namespace gw {

namespace detail {
class BlockedWordMatcher;
}

// Section "屏蔽词过滤器" of the settings, as the host read it. The host takes the separator to be
// CR LF when either key "换行符" or "单选框换行符" reads yes (the settings window writes the
// latter).
struct BlockedWordSettings {
  bool separatedByLineBreaks = false;  // "换行符" / "单选框换行符"
  std::string separator = "|";         // "分隔符", used when not separated by line breaks (GBK)
  std::string replacement = "**";      // "代替符" (GBK)
  std::string libraryPath;             // "词库", a file-system path
};

// A loaded library with its replacement, ready to filter texts. Copies are cheap and share the
// compiled matcher. A default filter has no words and changes nothing.
class BlockedWordFilter {
 public:
  BlockedWordFilter();
  // `words` in library order; empty words are kept and never match.
  BlockedWordFilter(std::vector<std::string> words, std::string replacement);

  const std::vector<std::string>& words() const { return words_; }
  const std::string& replacement() const { return replacement_; }

  // The filtered text (see FilterBlockedWords).
  std::string Apply(std::string_view text) const;
  // The same, filtering `text` where it lies when that is possible (see
  // FilterBlockedWordsInPlace), on up to `threads` threads (0: one per processor).
  void ApplyInPlace(std::string& text, std::size_t threads = 0) const;

 private:
  std::vector<std::string> words_;
  std::string replacement_;
  std::shared_ptr<const detail::BlockedWordMatcher> matcher_;
};

// The library bytes split at every occurrence of `separator` that starts a character (never at
// the second byte of a double-byte character), nothing trimmed; pieces between
// adjacent separators, and after a trailing one, are empty words. An empty separator leaves the
// whole library as one word.
std::vector<std::string> SplitBlockedWords(std::string_view library, std::string_view separator);

// Reads the word library named in the settings (raw bytes, no conversion) and prepares the
// filter. A missing or unreadable file, or an empty path, gives a filter without words.
BlockedWordFilter LoadBlockedWords(const BlockedWordSettings& settings);
// The same, also telling how reading the library went (a library over the size limit is not
// read and gives a filter without words).
BlockedWordFilter LoadBlockedWords(const BlockedWordSettings& settings, LibraryStatus& status);

// For each word in library order, replaces every occurrence with the replacement before the next
// word is looked at; after a replacement the search goes on at its position plus the
// replacement's byte length (one byte on when the replacement is empty), so a later word can
// match text that holds an earlier word's replacement. Bytes compare exactly.
// An occurrence counts only when it starts and ends on character boundaries of the text as it
// stands, so a word never matches the trail byte of one character with the bytes after it.
std::string FilterBlockedWords(std::string_view text, const BlockedWordFilter& filter);
// The same result, left in `text`. When the words are deleted, or replaced by a replacement no
// longer than any of them, the text is rewritten where it lies, which takes no second buffer of
// its size. A large text is filtered in parts on up to `threads` threads (0: one per processor;
// 1: on the calling thread alone).
void FilterBlockedWordsInPlace(std::string& text, const BlockedWordFilter& filter,
                               std::size_t threads = 0);

}  // namespace gw
