#include "engine/blocked_words.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "engine/blocked_words_matcher.h"
#include "text/gbk_chars.h"

namespace gw {

BlockedWordFilter::BlockedWordFilter() : BlockedWordFilter({}, "**") {}

BlockedWordFilter::BlockedWordFilter(std::vector<std::string> words, std::string replacement)
    : words_(std::move(words)), replacement_(std::move(replacement)) {
  // Without a word that can occur, filtering changes nothing: no matcher is prepared (every run
  // starts with such a filter, and preparing one takes its tables' memory).
  if (std::any_of(words_.begin(), words_.end(), [](const std::string& w) { return !w.empty(); })) {
    matcher_ = std::make_shared<const detail::BlockedWordMatcher>(words_, replacement_);
  }
}

std::string BlockedWordFilter::Apply(std::string_view text) const {
  return matcher_ ? matcher_->Filter(text) : std::string(text);
}

void BlockedWordFilter::ApplyInPlace(std::string& text, std::size_t threads) const {
  if (matcher_) {
    matcher_->FilterInPlace(text, detail::BlockedWordMatcher::SplitFor(threads));
  }
}

std::vector<std::string> SplitBlockedWords(std::string_view library, std::string_view separator) {
  if (library.empty()) {
    return {};
  }
  const std::vector<std::string_view> pieces = SplitAtCharacters(library, separator);
  return std::vector<std::string>(pieces.begin(), pieces.end());
}

BlockedWordFilter LoadBlockedWords(const BlockedWordSettings& settings) {
  LibraryStatus status = LibraryStatus::Read;
  return LoadBlockedWords(settings, status);
}

BlockedWordFilter LoadBlockedWords(const BlockedWordSettings& settings, LibraryStatus& status) {
  std::string library;
  status = ReadWordLibrary(settings.libraryPath, library);
  const std::string separator = settings.separatedByLineBreaks ? "\r\n" : settings.separator;
  return BlockedWordFilter(SplitBlockedWords(library, separator), settings.replacement);
}

std::string FilterBlockedWords(std::string_view text, const BlockedWordFilter& filter) {
  return filter.Apply(text);
}

void FilterBlockedWordsInPlace(std::string& text, const BlockedWordFilter& filter,
                               std::size_t threads) {
  filter.ApplyInPlace(text, threads);
}

}  // namespace gw
