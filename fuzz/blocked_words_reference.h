// The blocked-word filter's word-by-word procedure written as plainly as possible, the oracle the
// fast filter is held to (by the engine tests and the blocked-word fuzz target): for each word,
// find the leftmost occurrence on character boundaries of the current text at or after the
// search start, replace it, go on at its position plus the replacement length (plus one when that
// is 0).
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "text/gbk_chars.h"

namespace gw::reference {

inline std::string FilterOneWordAtATime(std::string text, const std::vector<std::string>& words,
                                        const std::string& replacement) {
  const std::size_t step = replacement.empty() ? 1 : replacement.size();
  for (const std::string& word : words) {
    if (word.empty()) {
      continue;
    }
    std::size_t from = 0;
    while (true) {
      const std::vector<std::size_t> starts = CharStartOffsets(text, CrLf::AsTwoChars);
      const auto isBoundary = [&](std::size_t offset) {
        return std::binary_search(starts.begin(), starts.end(), offset);
      };
      std::size_t at = text.find(word, from);
      while (at != std::string::npos && !(isBoundary(at) && isBoundary(at + word.size()))) {
        at = text.find(word, at + 1);
      }
      if (at == std::string::npos) {
        break;
      }
      text.replace(at, word.size(), replacement);
      from = at + step;
    }
  }
  return text;
}

}  // namespace gw::reference
