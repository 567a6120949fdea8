#include "engine/text_set.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace gw {
namespace {

bool Insert(TextSet& set, const std::string& text) {
  return set.insert(text, TextSet::HashOf(text));
}

// Against std::set over texts that repeat, with growth well past the first table and texts
// that do not fit in what is left of a block.
TEST(TextSet, TakesEachTextOnceWhateverItsLength) {
  TextSet set;
  std::set<std::string> reference;
  for (int i = 0; i < 60'000; ++i) {
    const int n = (i * 7919) % 20'000;
    std::string text = "消息" + std::to_string(n);
    if (n % 97 == 0) {
      text += std::string(static_cast<std::size_t>(n % 3) * 700'000, 'x');  // up to 1.4 MB
    }
    EXPECT_EQ(Insert(set, text), reference.insert(text).second) << i;
  }
  EXPECT_EQ(set.size(), reference.size());
  EXPECT_TRUE(Insert(set, ""));
  EXPECT_FALSE(Insert(set, ""));
}

// Texts that share a hash are still told apart by their bytes, and texts that differ only in
// length (one the start of the other) too.
TEST(TextSet, EqualHashesDoNotMakeTextsEqual) {
  TextSet set;
  for (const char* text : {"好的", "好的。", "好", "OK", "ok"}) {
    EXPECT_TRUE(set.insert(text, 42)) << text;
  }
  for (const char* text : {"好的", "好的。", "好", "OK", "ok"}) {
    EXPECT_FALSE(set.insert(text, 42)) << text;
  }
  EXPECT_EQ(set.size(), 5u);
}

}  // namespace
}  // namespace gw
