#include "cli/terminal_text.h"

#include <gtest/gtest.h>

namespace gw::cli {
namespace {

TEST(Utf8Characters, SplitsBetweenCharactersAndKeepsBrokenBytesApart) {
  EXPECT_EQ(Utf8Characters("a编·😀"),
            (std::vector<std::string_view>{"a", "编", "\xC2\xB7", "\xF0\x9F\x98\x80"}));
  EXPECT_EQ(Utf8Characters("\x80x\xE7\xBC"),
            (std::vector<std::string_view>{"\x80", "x", "\xE7\xBC"}))
      << "a stray continuation byte and a cut-off sequence";
}

TEST(FitColumns, CutsBetweenCharactersCountingWideOnesAsTwo) {
  EXPECT_EQ(DisplayColumns("ab编辑c"), 7u);
  EXPECT_EQ(FitColumns("ab编辑c", 7), "ab编辑c");
  EXPECT_EQ(FitColumns("ab编辑c", 6), "ab编辑");
  EXPECT_EQ(FitColumns("ab编辑c", 5), "ab编") << "half a wide character is left out";
  EXPECT_EQ(FitColumns("ab编辑c", 0), "");
}

}  // namespace
}  // namespace gw::cli
