#include "engine/aho_corasick.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace gw {
namespace {

using Found = std::set<std::pair<std::size_t, std::uint32_t>>;  // (end offset, pattern)

Found ScanAll(const AhoCorasick& automaton, std::string_view text) {
  Found found;
  AhoCorasick::State state = AhoCorasick::kRoot;
  for (std::size_t i = 0; i < text.size(); ++i) {
    state = automaton.Next(state, static_cast<unsigned char>(text[i]));
    if ((state & AhoCorasick::kHasMatch) != 0) {
      automaton.ForEachMatch(state, [&](std::uint32_t p) { found.insert({i + 1, p}); });
    }
  }
  return found;
}

Found FindEachNaively(const std::vector<std::string_view>& patterns, std::string_view text) {
  Found found;
  for (std::uint32_t p = 0; p < patterns.size(); ++p) {
    for (std::size_t at = text.find(patterns[p]); at != std::string_view::npos;
         at = text.find(patterns[p], at + 1)) {
      found.insert({at + patterns[p].size(), p});
    }
  }
  return found;
}

TEST(AhoCorasickTest, ReportsOverlappingAndNestedOccurrences) {
  const std::vector<std::string_view> patterns = {"he", "she", "his", "hers", "e"};
  const AhoCorasick automaton(patterns);
  EXPECT_EQ(ScanAll(automaton, "ushers"), FindEachNaively(patterns, "ushers"));
  EXPECT_EQ(ScanAll(automaton, "ushers").size(), 4u);  // she, he, e, hers
}

TEST(AhoCorasickTest, WithoutPatternsNothingMatches) {
  const AhoCorasick automaton;
  EXPECT_TRUE(ScanAll(automaton, "anything at all").empty());
}

// Random dictionaries over a few bytes (high bytes included) against a plain search; large
// dictionaries push states out of the full-row part of the table.
TEST(AhoCorasickTest, AgreesWithPlainSearchOnRandomDictionaries) {
  std::mt19937 random(7);
  const std::string alphabet = "ab\xB0\xA1\xFF\x01";
  auto randomText = [&](std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
      text.push_back(alphabet[random() % alphabet.size()]);
    }
    return text;
  };
  for (int round = 0; round < 60; ++round) {
    std::set<std::string> distinct;
    const int count = round < 50 ? 1 + static_cast<int>(random() % 12) : 3000;
    while (static_cast<int>(distinct.size()) < count) {
      distinct.insert(randomText(1 + random() % (round < 50 ? 5 : 9)));
    }
    const std::vector<std::string> owned(distinct.begin(), distinct.end());
    const std::vector<std::string_view> patterns(owned.begin(), owned.end());
    const AhoCorasick automaton(patterns);
    const std::string text = randomText(400);
    ASSERT_EQ(ScanAll(automaton, text), FindEachNaively(patterns, text)) << "round " << round;
  }
}

}  // namespace
}  // namespace gw
