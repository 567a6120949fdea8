#include "engine/blocked_words.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "blocked_words_reference.h"
#include "engine/blocked_words_boundaries.h"
#include "engine/blocked_words_matcher.h"
#include "text/charset.h"
#include "text/gbk_chars.h"

namespace gw {
namespace {

std::string G(const char* utf8) {
  return Utf8ToGbk(utf8);
}

using reference::FilterOneWordAtATime;

std::string Filter(const std::string& text, std::vector<std::string> words,
                   std::string replacement = "**") {
  return FilterBlockedWords(text, BlockedWordFilter(std::move(words), std::move(replacement)));
}

TEST(BlockedWordsTest, WordsAreReplacedOneAfterAnotherInLibraryOrder) {
  // "广告" and "代购" are replaced; "代" then finds nothing in "****".
  EXPECT_EQ(Filter(G("代购广告"), SplitBlockedWords(G("广告|代购|代"), "|")), "****");
  // "代" comes first and is replaced inside "代购", which then no longer occurs.
  EXPECT_EQ(Filter(G("代购"), SplitBlockedWords(G("代|代购"), "|")), G("**购"));
  // A later word can match text that holds an earlier word's replacement.
  EXPECT_EQ(Filter("xay", {"a", "x**"}), "**y");
  // Bytes compare exactly: letter case matters.
  EXPECT_EQ(Filter("Spam spam", {"spam"}), "Spam **");
}

TEST(BlockedWordsTest, SearchGoesOnAfterTheInsertedReplacement) {
  // The replacement holds the word: it is not searched again, so this ends.
  EXPECT_EQ(Filter("aa", {"a"}, "aa"), "aaaa");
  // Overlapping occurrences of one word: the leftmost wins, the search goes on after it.
  EXPECT_EQ(Filter("aaa", {"aa"}), "**a");
  // An empty replacement deletes; the search resumes one byte on, so an occurrence that begins
  // right where the deleted one ended is skipped in that pass.
  EXPECT_EQ(Filter("abab!abab", {"ab"}, ""), "ab!ab");
  // ...but a later word sees the text closed up around the deletion.
  EXPECT_EQ(Filter("xaby", {"ab", "xy"}, ""), "");
}

TEST(BlockedWordsTest, EmptyWordsAndEmptyLibrariesChangeNothing) {
  EXPECT_EQ(SplitBlockedWords("a||b|", "|"), (std::vector<std::string>{"a", "", "b", ""}));
  EXPECT_EQ(Filter("a b", SplitBlockedWords("||", "|")), "a b");
  EXPECT_EQ(Filter("a b", {}), "a b");
  EXPECT_EQ(FilterBlockedWords("a b", BlockedWordFilter()), "a b");
  // Nothing is trimmed: the space belongs to the word.
  EXPECT_EQ(Filter("a b ab", SplitBlockedWords("a |x", "|")), "**b ab");
}

// A GBK word never matches the trail byte of one character with the bytes after it: "形" is
// D0 CE, which lies inside "中文" (D6 D0 CE C4).
TEST(BlockedWordsTest, WordsMatchOnlyWholeCharacters) {
  ASSERT_EQ(G("形"), "\xD0\xCE");
  ASSERT_EQ(G("中文"), "\xD6\xD0\xCE\xC4");
  EXPECT_EQ(Filter(G("中文"), {G("形")}), G("中文"));
  EXPECT_EQ(Filter(G("中文形"), {G("形")}), G("中文**"));
  // A word made of a lone lead byte cannot match inside a character either.
  EXPECT_EQ(Filter(G("中a"), {"\xD0"}), G("中a"));
  // ... but at the very end a lead byte is a character of its own.
  EXPECT_EQ(Filter("a\xD0", {"\xD0"}), "a**");
}

// The euro sign is the single byte 0x80: it does not take the next byte with it, so a word right
// after it is found.
TEST(BlockedWordsTest, EuroSignIsACharacterOfItsOwn) {
  EXPECT_EQ(Filter(G("€5元"), {G("5元")}), G("€**"));
  EXPECT_EQ(Filter(G("€€5元"), {G("5元")}), G("€€**"));
  EXPECT_EQ(Filter(G("€5元"), {"\x80"}), G("**5元"));
}

// 東 is 96 7C: its second byte is "|", which must not split the library.
TEST(BlockedWordsTest, LibrarySplitsOnlyAtSeparatorCharacters) {
  EXPECT_EQ(SplitBlockedWords(G("東京|西安"), "|"),
            (std::vector<std::string>{G("東京"), G("西安")}));
  EXPECT_EQ(Filter(G("我在東京"), SplitBlockedWords(G("東京"), "|")), G("我在**"));
}

// With the empty replacement a deletion closes the text up, and a later word can match across the
// point where it did, even across several such points; the bytes on either side of one are
// whole characters, so a word never matches the trail byte of one with the lead byte of another.
TEST(BlockedWordsTest, DeletionsJoinTheTextForLaterWords) {
  // "b" goes, then "ac" is whole.
  EXPECT_EQ(Filter("abc", {"b", "ac"}, ""), "");
  // Two deletions make "abc".
  EXPECT_EQ(Filter("axbxc!", {"x", "abc"}, ""), "!");
  // A word longer than 16 bytes put together 18 bytes in, and one put together 3 bytes in.
  EXPECT_EQ(Filter("abcdefghijklmnopqrxstu.", {"x", "abcdefghijklmnopqrstu"}, ""), ".");
  EXPECT_EQ(Filter("abcxdefghijklmnopqrstu.", {"x", "abcdefghijklmnopqrstu"}, ""), ".");
  // "中x文" loses "x"; "形" (D0 CE) then lies across the two characters and is no match.
  EXPECT_EQ(Filter(G("中x文"), {"x", G("形")}, ""), G("中文"));
  EXPECT_EQ(Filter(G("中x形"), {"x", G("中形")}, ""), "");
  // A word's turn does not find what its own deletions put together; the same word later in the
  // library does.
  EXPECT_EQ(Filter("aabb", {"ab"}, ""), "ab");
  EXPECT_EQ(Filter("aabb", {"ab", "ab"}, ""), "");
  // The search goes on one byte after a deletion, so an occurrence right behind it is skipped,
  // also when an earlier word's deletion made it adjacent.
  EXPECT_EQ(Filter("abcab", {"c", "ab"}, ""), "ab");
  EXPECT_EQ(Filter("abcab", {"c", "ab", "b"}, ""), "a");
  // "ab" holds the earlier "a", so it is usually gone by its turn; not where that "a" was
  // skipped, right after the first one's deletion.
  EXPECT_EQ(Filter("aab", {"a", "ab"}, ""), "");
  EXPECT_EQ(Filter("aab!aab", {"a", "xab", "ab"}, ""), "!");
}

// Runs of overlapping occurrences far longer than the batches the filter works in: the results
// follow from the rule alone.
TEST(BlockedWordsTest, LongOverlappingRunsFollowTheRule) {
  const std::string as(100001, 'a');
  // "aa" takes the run two bytes at a time from the left, leaving the last byte; "aaa" then
  // finds nothing.
  std::string pairs;
  for (int i = 0; i < 50000; ++i) {
    pairs += "**";
  }
  EXPECT_EQ(Filter(as, {"aa", "aaa"}), pairs + "a");
  // "aaa" first takes three at a time; the two bytes left over are then one "aa".
  std::string triples;
  for (int i = 0; i < 33333; ++i) {
    triples += "**";
  }
  EXPECT_EQ(Filter(as, {"aaa", "aa"}), triples + "**");
  // In "abab...ab" the word "ba" comes first and takes every occurrence between the pairs.
  std::string abs;
  std::string bas = "a";
  for (int i = 0; i < 40000; ++i) {
    abs += "ab";
    if (i > 0) {
      bas += "**";
    }
  }
  bas += "b";
  EXPECT_EQ(Filter(abs, {"ba", "ab"}), bas);
  // Deleting "ab" leaves the next copy right behind the deletion, which is skipped, so every
  // other copy goes; the word's second place in the library halves what is left again.
  EXPECT_EQ(Filter(abs, {"ab"}, ""), abs.substr(0, abs.size() / 2));
  EXPECT_EQ(Filter(abs, {"ab", "ab"}, ""), abs.substr(0, abs.size() / 4));
  // The same when the text is cut into parts filtered on separate threads.
  const detail::BlockedWordMatcher matcher({"ab"}, "");
  std::string lines;
  for (int i = 0; i < 50; ++i) {
    lines += abs + "\n";
  }
  std::size_t partsUsed = 0;
  const std::string expected = [&] {
    std::string result;
    for (int i = 0; i < 50; ++i) {
      result += abs.substr(0, abs.size() / 2) + "\n";
    }
    return result;
  }();
  EXPECT_EQ(matcher.Filter(lines, {0, 4}, &partsUsed), expected);
  EXPECT_EQ(partsUsed, 4u);
}

class LibraryFileTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& bytes) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("gw_blocked_words_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt");
    std::ofstream(path, std::ios::binary) << bytes;
    paths_.push_back(path);
    return path.string();
  }
  void TearDown() override {
    for (const auto& path : paths_) {
      std::filesystem::remove(path);
    }
  }
  std::vector<std::filesystem::path> paths_;
};

TEST_F(LibraryFileTest, LineBreakLibrariesSplitAtCrLf) {
  BlockedWordSettings settings;
  settings.separatedByLineBreaks = true;
  settings.separator = "ignored";
  settings.libraryPath = Write(G("广告\r\n代购\r\n"));
  const BlockedWordFilter filter = LoadBlockedWords(settings);
  // The trailing line break leaves an empty last word, which changes nothing.
  EXPECT_EQ(filter.words(), (std::vector<std::string>{G("广告"), G("代购"), ""}));
  EXPECT_EQ(FilterBlockedWords(G("买代购广告了\r\n"), filter), G("买****了\r\n"));
}

TEST_F(LibraryFileTest, SeparatorAndReplacementComeFromTheSettings) {
  BlockedWordSettings settings;
  settings.separator = ",";
  settings.replacement = G("[屏蔽]");
  settings.libraryPath = Write("spam,ham");
  const BlockedWordFilter filter = LoadBlockedWords(settings);
  EXPECT_EQ(FilterBlockedWords("spam and ham", filter), G("[屏蔽] and [屏蔽]"));
}

TEST_F(LibraryFileTest, MissingOrEmptyLibraryPathLeavesTextUnchanged) {
  BlockedWordSettings settings;
  EXPECT_TRUE(LoadBlockedWords(settings).words().empty());
  settings.libraryPath = "/nonexistent/gathwrite/words.txt";
  EXPECT_EQ(FilterBlockedWords("spam", LoadBlockedWords(settings)), "spam");
  settings.libraryPath = std::filesystem::temp_directory_path().string();  // a folder
  EXPECT_EQ(FilterBlockedWords("spam", LoadBlockedWords(settings)), "spam");
}

// The fast filter against the plain procedure on many random small cases: a few ASCII letters and
// GBK characters (including one that straddles others), words inside words, words that are
// prefixes or suffixes of others, repeated and empty words, replacements that contain or create
// words, the empty replacement and replacements that end in a lone lead byte.
TEST(BlockedWordsTest, AgreesWithThePlainProcedureOnRandomCases) {
  std::mt19937 random(20240601);
  const auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
  const std::vector<std::string> pieces = {"a",     "b",     "c",     "*",   "\r\n",
                                           G("中"), G("文"), G("形"), "\xD6"};
  const std::vector<std::string> replacements = {"**", "",       "*",    "a",     "ab",   G("中"),
                                                 "b*", G("文a"), "\xD6", "a\xD0", "\xCE", "aa"};
  const auto randomText = [&](std::size_t maxPieces, std::size_t kinds) {
    std::string text;
    const std::size_t count = pick(maxPieces + 1);
    for (std::size_t i = 0; i < count; ++i) {
      text += pieces[pick(kinds)];
    }
    return text;
  };
  int independentCases = 0;
  int splitCases = 0;
  int inPlaceCases = 0;
  for (int round = 0; round < 20000; ++round) {
    const std::size_t kinds = 2 + pick(pieces.size() - 1);
    const std::string text = randomText(24, kinds);
    std::vector<std::string> words;
    const std::size_t wordCount = 1 + pick(6);
    for (std::size_t i = 0; i < wordCount; ++i) {
      switch (pick(5)) {
        case 0:  // a piece of the text, cut anywhere (possibly inside a character)
          if (!text.empty()) {
            const std::size_t from = pick(text.size());
            words.push_back(text.substr(from, 1 + pick(4)));
            break;
          }
          [[fallthrough]];
        case 1:
          words.push_back(randomText(3, kinds));  // may be empty
          break;
        case 2:
          if (!words.empty()) {
            words.push_back(words[pick(words.size())]);  // repeated
            break;
          }
          [[fallthrough]];
        default:
          words.push_back(randomText(2, kinds) + pieces[pick(kinds)]);
      }
    }
    const std::string replacement = replacements[pick(replacements.size())];
    const std::string expected = FilterOneWordAtATime(text, words, replacement);
    const detail::BlockedWordMatcher matcher(words, replacement);
    independentCases += matcher.independentOccurrences() ? 1 : 0;
    ASSERT_EQ(matcher.Filter(text), expected) << "round " << round;
    ASSERT_EQ(Filter(text, words, replacement), expected) << "round " << round;
    // Cut into parts filtered on separate threads, however small the text.
    const std::size_t parts = 2 + pick(4);
    std::size_t partsUsed = 0;
    ASSERT_EQ(matcher.Filter(text, {0, parts}, &partsUsed), expected)
        << "round " << round << ", " << parts << " parts";
    splitCases += partsUsed > 1 ? 1 : 0;
    // Filtered where the text lies, its output written back a few bytes at a time: a filter that
    // is allowed to do so but lengthens the text overwrites bytes it has yet to read.
    std::string inPlace = text;
    matcher.FilterInPlace(inPlace, {0, parts, 1 + pick(8)});
    ASSERT_EQ(inPlace, expected) << "round " << round << ", " << parts << " parts, in place";
    if (matcher.NeverLengthens(text.size())) {
      ASSERT_LE(expected.size(), text.size()) << "round " << round;
      ++inPlaceCases;
    }
  }
  // Both ways of computing the result were exercised, texts were cut into parts, and filtered
  // where they lay.
  EXPECT_GT(independentCases, 2000);
  EXPECT_LT(independentCases, 18000);
  EXPECT_GT(splitCases, 2000);
  EXPECT_GT(inPlaceCases, 4000);
}

// Longer texts, where the independent pass settles its occurrences many times and groups of
// overlapping occurrences run long.
// A text placed at the very end of readable memory: the page after it cannot be read, so a filter
// that reads past the text's end crashes instead of passing by chance.
class TextAtEndOfMemory {
 public:
  explicit TextAtEndOfMemory(std::string_view text) : page_(sysconf(_SC_PAGESIZE)) {
    void* map =
        mmap(nullptr, 2 * page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    EXPECT_NE(map, MAP_FAILED);
    base_ = static_cast<char*>(map);
    EXPECT_EQ(mprotect(base_ + page_, page_, PROT_NONE), 0);
    char* const at = base_ + page_ - text.size();
    std::memcpy(at, text.data(), text.size());
    view_ = std::string_view(at, text.size());
  }
  ~TextAtEndOfMemory() { munmap(base_, 2 * page_); }
  TextAtEndOfMemory(const TextAtEndOfMemory&) = delete;
  TextAtEndOfMemory& operator=(const TextAtEndOfMemory&) = delete;
  std::string_view view() const { return view_; }

 private:
  std::size_t page_;
  char* base_ = nullptr;
  std::string_view view_;
};

// Short texts whose replacements can change nothing later (the fast, independent pass) are copied
// up to their end and no further, wherever the occurrences lie.
TEST(BlockedWordsTest, ShortTextsAreNotReadPastTheirEnd) {
  // The case the fuzzer found: word NUL, replacement CR, text LF NUL BS.
  {
    const TextAtEndOfMemory text(std::string("\n\0\b", 3));
    const detail::BlockedWordMatcher matcher({std::string(1, '\0')}, "\r");
    EXPECT_EQ(matcher.Filter(text.view()), std::string("\n\r\b", 3));
  }
  const detail::BlockedWordMatcher matcher({"x"}, "**");
  ASSERT_TRUE(matcher.independentOccurrences());
  for (std::size_t length = 1; length <= 40; ++length) {
    for (std::size_t at = 0; at < length; ++at) {
      std::string plain(length, 'a');
      plain[at] = 'x';
      const TextAtEndOfMemory text(plain);
      EXPECT_EQ(matcher.Filter(text.view()), FilterOneWordAtATime(plain, {"x"}, "**"))
          << length << " bytes, word at " << at;
    }
  }
}

TEST(BlockedWordsTest, AgreesWithThePlainProcedureOnLongerTexts) {
  std::mt19937 random(99);
  const std::vector<std::string> pieces = {"a", "b", "\n", G("中"), G("文")};
  for (int round = 0; round < 200; ++round) {
    std::string text;
    while (text.size() < 3000) {
      text += pieces[random() % (round % 2 == 0 ? 2 : pieces.size())];
    }
    std::vector<std::string> words;
    for (int i = 0; i < 8; ++i) {
      const std::size_t from = random() % text.size();
      words.push_back(text.substr(from, 1 + random() % 5));
    }
    const std::string replacement = round % 3 == 0 ? "" : (round % 3 == 1 ? "**" : "b");
    const detail::BlockedWordMatcher matcher(words, replacement);
    const std::string expected = FilterOneWordAtATime(text, words, replacement);
    ASSERT_EQ(matcher.Filter(text), expected) << "round " << round;
    const std::size_t parts = 2 + random() % 7;
    ASSERT_EQ(matcher.Filter(text, {0, parts}), expected) << "round " << round << ", " << parts;
  }
}

// Deleting leaves wide gaps, and a later word can then be found across one: long words (40 to
// 140 bytes), taken from the text as the earlier words left it, must be found however many bytes
// were deleted between their parts, and however far they reach back or ahead of the gap.
TEST(BlockedWordsTest, LongWordsAreFoundAcrossWideGaps) {
  std::mt19937 random(515);
  const std::vector<std::string> pieces = {"a", "b", "c", G("中"), G("文")};
  for (int round = 0; round < 60; ++round) {
    std::string text;
    while (text.size() < 1500) {
      // Runs of one piece long enough that deleting them clears whole words of presence bits.
      const std::string& piece = pieces[random() % pieces.size()];
      for (std::size_t n = 1 + random() % (round % 2 == 0 ? 90 : 8); n > 0; --n) {
        text += piece;
      }
    }
    std::vector<std::string> words;
    for (int i = 0; i < 3; ++i) {
      words.push_back(pieces[random() % 3] + pieces[random() % 3]);
    }
    // Later words are cut from the text the earlier ones leave, so that they span the gaps.
    const std::string left = FilterOneWordAtATime(text, words, "");
    for (int i = 0; i < 4 && left.size() > 150; ++i) {
      const std::size_t length = 40 + random() % 100;
      words.push_back(left.substr(random() % (left.size() - length), length));
    }
    const std::string expected = FilterOneWordAtATime(text, words, "");
    const detail::BlockedWordMatcher matcher(words, "");
    ASSERT_EQ(matcher.Filter(text), expected) << "round " << round;
    ASSERT_EQ(matcher.Filter(text, {0, 3}), expected) << "round " << round;
  }
}

// Whole texts of many lines, large enough for the block-wise scan and for overlap groups to wait
// and be settled in batches: a line break is in no word, so the whole text must filter like each
// of its lines on its own, and each line like the plain procedure.
TEST(BlockedWordsTest, LongTextsFilterLikeTheirLines) {
  std::mt19937 random(7);
  const std::vector<std::string> pieces = {"a", "b", "a", G("中"), G("文"), "\xD6"};
  const std::vector<std::string> words = {
      "ab", "ba", "aba", G("中文"), "b" + G("中"), "bab", "a" + G("文") + "a", "aa", G("文") + "b"};
  std::vector<std::string> lines;
  std::string text;
  while (text.size() < 300000) {
    std::string line;
    const std::size_t length = 1 + random() % 120;
    const std::size_t kinds = random() % 2 == 0 ? 2 : pieces.size();  // long runs of a and b
    while (line.size() < length) {
      line += pieces[random() % kinds];
    }
    lines.push_back(line);
    text += line + "\r\n";
  }
  for (const std::string replacement : {"**", "", "b"}) {
    std::string expected;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::string line = lines[i] + "\r\n";
      // The plain procedure is slow: check every 25th line against it.
      expected += i % 25 == 0 ? FilterOneWordAtATime(line, words, replacement)
                              : Filter(line, words, replacement);
    }
    EXPECT_EQ(Filter(text, words, replacement), expected) << "replacement " << replacement;
    // The same text cut into parts filtered on separate threads.
    const detail::BlockedWordMatcher matcher(words, replacement);
    EXPECT_EQ(matcher.Filter(text, {0, 3}), expected) << "replacement " << replacement;
    // Filtered where it lies, in parts, the output written back now and then.
    std::string inPlace = text;
    matcher.FilterInPlace(inPlace, {0, 3, 4096});
    EXPECT_EQ(inPlace, expected) << "replacement " << replacement;
    inPlace = text;
    FilterBlockedWordsInPlace(inPlace, BlockedWordFilter(words, replacement));
    EXPECT_EQ(inPlace, expected) << "replacement " << replacement;
    for (std::size_t i = 0; i < lines.size(); i += 25) {
      const std::string line = lines[i] + "\r\n";
      ASSERT_EQ(Filter(line, words, replacement), FilterOneWordAtATime(line, words, replacement))
          << "line " << i << ", replacement " << replacement;
    }
  }
}

// The character starts found 64 bytes at a time agree with reading the text character by
// character, across block ends and with a lone lead byte at the end.
TEST(BlockedWordsTest, CharacterStartsAgreeWithReadingCharacterByCharacter) {
  std::mt19937 random(3);
  for (int round = 0; round < 2000; ++round) {
    std::string text(random() % 300, '\0');
    const unsigned highShare = random() % 4;  // from all ASCII to mostly high bytes
    for (char& c : text) {
      c = static_cast<char>(random() % 4 < highShare ? 0x80 + random() % 0x80 : random() % 0x80);
    }
    const std::vector<std::uint64_t> mask = detail::CharStartMask(text);
    std::vector<bool> expected(text.size() + 1, false);
    for (std::size_t i = 0; i < text.size(); i += GbkCharLength(text, i)) {
      expected[i] = true;
    }
    expected[text.size()] = true;
    for (std::size_t i = 0; i <= text.size(); ++i) {
      ASSERT_EQ(detail::IsCharBoundary(mask, i), expected[i]) << "round " << round << ", " << i;
    }
  }
}

}  // namespace
}  // namespace gw
