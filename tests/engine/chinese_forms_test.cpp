#include "engine/chinese_forms.h"

#include <gtest/gtest.h>

#include "fake_host.h"

namespace gw {
namespace {

using testing::G;
using testing::U;

std::string Simplified(std::string_view utf8) {
  std::string error;
  const std::string result = U(ToSimplifiedChinese(G(utf8), &error));
  EXPECT_EQ(error, "");
  return result;
}

std::string Traditional(std::string_view utf8) {
  std::string error;
  const std::string result = U(ToTraditionalChinese(G(utf8), &error));
  EXPECT_EQ(error, "");
  return result;
}

TEST(ChineseForms, ConvertsBetweenTraditionalAndSimplifiedCharacters) {
  EXPECT_EQ(Simplified("這個東西很好，我們明天見"), "这个东西很好，我们明天见");
  EXPECT_EQ(Traditional("这个东西很好，我们明天见"), "這個東西很好，我們明天見");
  EXPECT_EQ(Simplified("abc 123\r\n"), "abc 123\r\n");
  EXPECT_EQ(Simplified(""), "");
}

// 嗰, 喎 and 劏 simplify, and 刾 and 擜 become traditional, to characters that GBK cannot hold:
// they stay as they are instead of becoming "?", and the characters around them still convert.
TEST(ChineseForms, CharactersWhoseConversionGbkCannotHoldAreKept) {
  EXPECT_EQ(Simplified("嗰"), "嗰");
  EXPECT_EQ(Simplified("這個嗰喎，劏雞"), "这个嗰喎，劏鸡");
  EXPECT_EQ(Traditional("刾"), "刾");
  EXPECT_EQ(Traditional("这个刾擜东西"), "這個刾擜東西");
  // Over several lines, with a "?" of the text's own that stays.
  EXPECT_EQ(Simplified("第一行嗰?\r\n這個\n嗰們"), "第一行嗰?\r\n这个\n嗰们");
}

}  // namespace
}  // namespace gw
