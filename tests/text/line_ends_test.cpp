#include "text/line_ends.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace gw {
namespace {

struct LineEndsCase {
  const char* what;
  std::string text;
  std::string expected;
};

// Test names and failure messages show the case's sentence, not its bytes.
void PrintTo(const LineEndsCase& row, std::ostream* out) {
  *out << row.what;
}

class LineEnds : public ::testing::TestWithParam<LineEndsCase> {};

TEST_P(LineEnds, OnlyATextThatEndsItsLinesWithBareFeedsGetsCrLf) {
  EXPECT_EQ(WithCrLfLineEnds(GetParam().text), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LineEnds,
    ::testing::Values(
        LineEndsCase{"every bare feed becomes CR LF, blank lines and a last feed included",
                     "a\n\nb\n", "a\r\n\r\nb\r\n"},
        LineEndsCase{"a feed at the very start and feeds in a row", "\n\nx", "\r\n\r\nx"},
        LineEndsCase{"a double-byte character whose second byte sits before the feed stays whole",
                     "\xC4\x5C\n\xB0\x7C\n", "\xC4\x5C\r\n\xB0\x7C\r\n"},
        LineEndsCase{"a lone CR beside bare feeds is kept and gains no partner", "a\rb\nc",
                     "a\rb\r\nc"},
        LineEndsCase{"one CR LF anywhere keeps the text byte for byte", "a\nb\r\nc\n",
                     "a\nb\r\nc\n"},
        LineEndsCase{"a text without feeds is kept", "a\rb", "a\rb"},
        LineEndsCase{"the empty text stays empty", "", ""}));

}  // namespace
}  // namespace gw
