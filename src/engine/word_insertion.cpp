#include "engine/word_insertion.h"

#include <algorithm>

#include "text/gbk_chars.h"

namespace gw {
namespace {

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithHttp(std::string_view item) {
  static constexpr std::string_view kHttp = "http://";
  if (item.size() < kHttp.size()) {
    return false;
  }
  for (std::size_t i = 0; i < kHttp.size(); ++i) {
    if (LowerAscii(item[i]) != kHttp[i]) {
      return false;
    }
  }
  return true;
}

// 1-based positions of a character in a sorted list: the last at or before `h` and the first at
// or after (or strictly after) `h`; 0 when there is none.
int LastAtOrBefore(const std::vector<int>& positions, int h) {
  const auto it = std::upper_bound(positions.begin(), positions.end(), h);
  return it == positions.begin() ? 0 : *(it - 1);
}

int FirstAtOrAfter(const std::vector<int>& positions, int h) {
  const auto it = std::lower_bound(positions.begin(), positions.end(), h);
  return it == positions.end() ? 0 : *it;
}

int FirstAfter(const std::vector<int>& positions, int h) {
  return FirstAtOrAfter(positions, h + 1);
}

}  // namespace

WordList PrepareWordList(std::string_view boxText) {
  boxText = UntilFirstNul(boxText);
  WordList list;
  // The second byte of a double-byte character may be "|": it does not split an item.
  for (const std::string_view item : SplitAtCharacters(boxText, "|")) {
    if (!item.empty()) {
      list.items.emplace_back(item);
    }
  }
  if (list.items.empty()) {
    return list;
  }

  std::string& last = list.items.back();
  list.linkMode = StartsWithHttp(last);
  if (last == "http://" || last == "http:///") {
    last.erase(0, 7);
  }
  if (list.items.size() == 1) {
    list.items.push_back(list.items.front());
  }
  return list;
}

std::string AnchorFor(std::string_view word, std::string_view link) {
  std::string anchor = "<a target=\"_blank\" href=\"";
  anchor.append(link);
  anchor.append("\">");
  anchor.append(word);
  anchor.append("</a>");
  return anchor;
}

WordChoice ChooseWords(const WordList& list, const Options& options, NonRepeatingDraw& wordDraw,
                       RandomSource& random, std::string& chosenWord) {
  const int low = std::min(LeadingInteger(options.编辑框插入1), kMaxInsertionsPerArticle);
  const int high = std::min(LeadingInteger(options.编辑框插入2), kMaxInsertionsPerArticle);
  WordChoice choice;
  if (list.empty()) {
    return choice;
  }
  const int size = static_cast<int>(list.items.size());
  const int rounds = RandomInRange(random, low, high);
  for (int round = 0; round < rounds; ++round) {
    if (list.linkMode) {
      // The link itself is never drawn as a word.
      const std::string& word = list.items[wordDraw.Next(1, size - 1) - 1];
      chosenWord = AnchorFor(word, list.items.back());
    } else {
      chosenWord = list.items[wordDraw.Next(1, size) - 1];
    }
    if (!options.选择框每次不同) {
      break;
    }
    choice.words.push_back(chosenWord);
  }
  choice.count = RandomInRange(random, low, high);
  return choice;
}

std::string InsertWords(std::string_view text, std::string_view word, int count,
                        const std::vector<std::string>& words, const InsertFlags& flags,
                        RandomSource& random) {
  text = UntilFirstNul(text);
  const std::vector<std::size_t> offsets = CharStartOffsets(text, CrLf::AsOneChar);
  const int charCount = static_cast<int>(offsets.size()) - 1;
  if (charCount <= 0) {
    return {};
  }

  // Where the spaces and tag brackets are, as 1-based character positions, found once.
  std::vector<int> spaces;
  std::vector<int> tagOpens;
  std::vector<int> tagCloses;
  for (int k = 1; k <= charCount; ++k) {
    if (offsets[k] - offsets[k - 1] != 1) {
      continue;
    }
    switch (text[offsets[k - 1]]) {
      case ' ':
        spaces.push_back(k);
        break;
      case '<':
        tagOpens.push_back(k);
        break;
      case '>':
        tagCloses.push_back(k);
        break;
      default:
        break;
    }
  }

  const int number = words.empty() ? std::max(count, 1) : static_cast<int>(words.size());
  NonRepeatingDraw positions(random);
  std::vector<Insertion> insertions;
  insertions.reserve(static_cast<std::size_t>(number));
  for (int i = 1; i <= number; ++i) {
    // The word goes after character h.
    int h = flags.fixedStep > 0
                ? static_cast<int>(std::min<long long>(1LL * flags.fixedStep * i, charCount))
                : positions.Next(1, charCount);
    std::string inserted(words.empty() ? word : std::string_view(words[i - 1]));
    const std::size_t wordLength = inserted.size();

    if (flags.avoidWords) {
      const char c = LowerAscii(text[offsets[h - 1]]);
      if ((c >= 'a' && c <= 'z') || c == ' ') {
        if (c != ' ') {
          // Inside an English word: move to the nearer space around it.
          const int before = LastAtOrBefore(spaces, h);
          const int after = FirstAtOrAfter(spaces, h);
          if (before != 0 && (after == 0 || h - before < after - h)) {
            h = before;
          } else if (after != 0) {
            h = after;
          }
        }
        if (!inserted.empty()) {
          inserted.push_back(' ');
        }
      }
    }

    if (flags.avoidTags) {
      const int open = LastAtOrBefore(tagOpens, h);
      const int lastClose = LastAtOrBefore(tagCloses, h);
      const int close = FirstAfter(tagCloses, h);
      const int nextOpen = FirstAfter(tagOpens, h);
      const bool insideTag =
          open != 0 && close != 0 && lastClose < open && (nextOpen == 0 || close < nextOpen);
      if (insideTag) {
        // Before the "<" or after the ">", whichever is nearer; after the ">" on a tie.
        h = (h - open < close - h) ? open - 1 : close;
        inserted.resize(wordLength);
      }
    }

    insertions.push_back({offsets[h], std::move(inserted)});
  }
  return ApplyInsertions(text, std::move(insertions));
}

std::string InsertArticleWords(std::string_view article, const WordList& list,
                               const Options& options, NonRepeatingDraw& wordDraw,
                               RandomSource& random, std::string& chosenWord) {
  const WordChoice choice = ChooseWords(list, options, wordDraw, random, chosenWord);
  return InsertWords(article, chosenWord, choice.count, choice.words, InsertFlags{}, random);
}

std::string ApplyInsertions(std::string_view text, std::vector<Insertion> insertions) {
  std::stable_sort(insertions.begin(), insertions.end(),
                   [](const Insertion& a, const Insertion& b) { return a.offset < b.offset; });
  std::size_t total = text.size();
  for (const Insertion& insertion : insertions) {
    total += insertion.text.size();
  }
  std::string result;
  result.reserve(total);
  std::size_t done = 0;
  for (const Insertion& insertion : insertions) {
    const std::size_t offset = std::min(insertion.offset, text.size());
    result.append(text.substr(done, offset - done));
    result.append(insertion.text);
    done = offset;
  }
  result.append(text.substr(done));
  return result;
}

}  // namespace gw
