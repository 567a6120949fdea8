#include "engine/title_decoration.h"

#include <algorithm>
#include <vector>

#include "engine/output_writer.h"
#include "engine/word_insertion.h"
#include "text/gbk_chars.h"

namespace gw {
namespace {

bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

std::string InsertIntoTitle(std::string_view title, std::string_view x, int titlePosition,
                            RegexService& markup, RandomSource& random) {
  const std::string cleaned = CleanFileName(markup.replace(x, ""));
  if (cleaned.empty()) {
    return std::string(title);
  }
  switch (titlePosition) {
    case kBeforeTitle:
      return cleaned + std::string(title);
    case kAfterTitle:
      return std::string(title) + cleaned;
    default:
      return InsertAtRandomPosition(title, cleaned, 1, true, random);
  }
}

std::string InsertAtRandomPosition(std::string_view text, std::string_view word, int count,
                                   bool protectEnglish, RandomSource& random) {
  text = UntilFirstNul(text);
  if (text.empty()) {
    return {};
  }
  const std::vector<std::size_t> offsets = CharStartOffsets(text, CrLf::AsTwoChars);
  const int charCount = static_cast<int>(offsets.size()) - 1;

  // Byte offsets of the spaces (a space byte is never the second byte of a character).
  std::vector<std::size_t> spaces;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == ' ') {
      spaces.push_back(i);
    }
  }

  NonRepeatingDraw positions(random);
  std::vector<Insertion> insertions;
  const int number = std::max(count, 1);
  for (int i = 0; i < number; ++i) {
    const int r = positions.Next(1, charCount);
    std::size_t at = offsets[r];  // just after character r
    std::string inserted(word);
    const std::size_t start = offsets[r - 1];
    const bool single = at - start == 1;
    if (protectEnglish && single && IsAsciiLetter(text[start])) {
      // Move out of the English word: just after the nearer space, the following one on a tie;
      // to the start of the text when no space follows.
      const std::size_t e = at;
      const auto following = std::lower_bound(spaces.begin(), spaces.end(), e);
      const auto afterPreceding = std::upper_bound(spaces.begin(), spaces.end(), e);
      if (following == spaces.end()) {
        at = 0;
      } else if (afterPreceding == spaces.begin() || *following - e <= e - *(afterPreceding - 1)) {
        at = *following + 1;
      } else {
        at = *(afterPreceding - 1) + 1;
      }
      if (!inserted.empty()) {
        inserted.push_back(' ');
      }
    } else if (protectEnglish && single && text[start] == ' ' && !inserted.empty()) {
      inserted.push_back(' ');
    }
    insertions.push_back({at, std::move(inserted)});
  }
  return ApplyInsertions(text, std::move(insertions));
}

}  // namespace gw
