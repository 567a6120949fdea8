#include "engine/blocked_words.h"

#include <cstdio>
#include <memory>
#include <utility>

#include "engine/blocked_words_matcher.h"

namespace gw {

namespace {

// The whole file as bytes; empty when it cannot be opened or read (a folder, no permission).
std::string ReadLibrary(const std::string& path) {
  if (path.empty()) {
    return {};
  }
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                             &std::fclose);
  if (!file) {
    return {};
  }
  std::string bytes;
  char buffer[1 << 16];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
    bytes.append(buffer, got);
  }
  if (std::ferror(file.get()) != 0) {
    return {};
  }
  return bytes;
}

}  // namespace

BlockedWordFilter::BlockedWordFilter() : BlockedWordFilter({}, "**") {}

BlockedWordFilter::BlockedWordFilter(std::vector<std::string> words, std::string replacement)
    : words_(std::move(words)),
      replacement_(std::move(replacement)),
      matcher_(std::make_shared<const detail::BlockedWordMatcher>(words_, replacement_)) {}

std::string BlockedWordFilter::Apply(std::string_view text) const {
  return matcher_->Filter(text);
}

std::vector<std::string> SplitBlockedWords(std::string_view library, std::string_view separator) {
  std::vector<std::string> words;
  if (library.empty()) {
    return words;
  }
  if (separator.empty()) {
    words.emplace_back(library);
    return words;
  }
  std::size_t from = 0;
  while (true) {
    const std::size_t at = library.find(separator, from);
    if (at == std::string_view::npos) {
      words.emplace_back(library.substr(from));
      return words;
    }
    words.emplace_back(library.substr(from, at - from));
    from = at + separator.size();
  }
}

BlockedWordFilter LoadBlockedWords(const BlockedWordSettings& settings) {
  const std::string separator = settings.separatedByLineBreaks ? "\r\n" : settings.separator;
  return BlockedWordFilter(SplitBlockedWords(ReadLibrary(settings.libraryPath), separator),
                           settings.replacement);
}

std::string FilterBlockedWords(std::string_view text, const BlockedWordFilter& filter) {
  return filter.Apply(text);
}

}  // namespace gw
