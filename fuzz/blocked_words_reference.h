// The blocked-word filter's word-by-word procedure written as plainly as possible, the oracle the
// fast filter is held to (by the engine tests and the blocked-word fuzz target): for each word,
// find the leftmost occurrence on character boundaries of the current text at or after the
// search start, replace it, go on at its position plus the replacement length (plus one when that
// is 0).
#pragma once

#include <algorithm>
#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "text/gbk_chars.h"

namespace gw::reference {

// The same, giving up (nullopt) once it has looked at more than `budget` bytes in all: a library
// whose replacement holds its own words can make the text grow many times over.
inline std::optional<std::string> FilterOneWordAtATimeWithin(std::string text,
                                                             const std::vector<std::string>& words,
                                                             const std::string& replacement,
                                                             std::size_t budget) {
  const std::size_t step = replacement.empty() ? 1 : replacement.size();
  std::size_t looked = 0;
  for (const std::string& word : words) {
    if (word.empty()) {
      continue;
    }
    std::size_t from = 0;
    while (true) {
      looked += text.size();
      if (looked > budget) {
        return std::nullopt;
      }
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

inline std::string FilterOneWordAtATime(std::string text, const std::vector<std::string>& words,
                                        const std::string& replacement) {
  return *FilterOneWordAtATimeWithin(std::move(text), words, replacement,
                                     std::numeric_limits<std::size_t>::max());
}

}  // namespace gw::reference
