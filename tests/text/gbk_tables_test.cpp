#include "text/gbk_tables.h"

#include <gtest/gtest.h>

#include <cstring>

#include "text/gbk_fast_tables.h"

namespace gw {
namespace {

// The tables compiled into the program are those the converter gives on this machine: a stale
// or damaged build step would show here.
TEST(GbkTables, CompiledTablesAreTheConvertersOwn) {
  const std::unique_ptr<GbkTables> asked = BuildGbkTablesWithIconv();
  const GbkTables& compiled = Gbk();
  int decodeDifferences = 0;
  int encodeDifferences = 0;
  int characters = 0;
  for (std::size_t i = 0; i < 65536; ++i) {
    decodeDifferences += compiled.toUnicode[i] != asked->toUnicode[i] ? 1 : 0;
    encodeDifferences += compiled.fromUnicode[i] != asked->fromUnicode[i] ? 1 : 0;
    characters += i >= 0x8140 && compiled.toUnicode[i] != 0 ? 1 : 0;
  }
  EXPECT_EQ(decodeDifferences, 0);
  EXPECT_EQ(encodeDifferences, 0);
  // Code page 936 holds some 22 000 double-byte characters (user-defined ones included).
  EXPECT_GT(characters, 20000);
  EXPECT_EQ(compiled.toUnicode[0xB0A1], u'\u554A');  // 啊
  EXPECT_EQ(compiled.fromUnicode[0x554A], 0xB0A1);   // and back
  EXPECT_EQ(compiled.toUnicode['A'], u'A');
  EXPECT_EQ(compiled.fromUnicode[0x20AC], 0x80);     // the euro sign is one byte
  EXPECT_EQ(compiled.toUnicode[0xAAA1], u'\uE000');  // the first user-defined character
}

bool BitOf(const std::uint64_t (&bits)[65536 / 64], char16_t unit) {
  return (bits[unit / 64] >> (unit % 64) & 1) != 0;
}

// The fast tables compiled into the program are the ones derived from the GBK tables, member by
// member (the build writes them out as text, where a slip would show nowhere else), and say what
// they are meant to say of a few characters.
TEST(GbkTables, CompiledFastTablesAreDerivedFromTheGbkTables) {
  const std::unique_ptr<GbkFastTables> derived = DeriveGbkFastTables(Gbk());
  const GbkFastTables& compiled = GbkFast();
  EXPECT_EQ(std::memcmp(compiled.decode, derived->decode, sizeof compiled.decode), 0);
  EXPECT_EQ(std::memcmp(compiled.encode, derived->encode, sizeof compiled.encode), 0);
  EXPECT_EQ(std::memcmp(compiled.countedApart, derived->countedApart, sizeof compiled.countedApart),
            0);
  EXPECT_EQ(std::memcmp(compiled.unheld, derived->unheld, sizeof compiled.unheld), 0);
  EXPECT_EQ(compiled.oneByteLeadCodes, derived->oneByteLeadCodes);

  EXPECT_EQ(compiled.decode['A'], u'A');
  EXPECT_EQ(compiled.decode[0xB0A1], u'\u554A');  // 啊
  EXPECT_EQ(compiled.decode[0x817F], u'\uFFFD');  // 0x7F is never a second byte
  EXPECT_EQ(compiled.encode[0x554A], 0xB0A1);
  EXPECT_EQ(compiled.encode[0x0E01], '?');  // a Thai letter: not in code page 936
  EXPECT_TRUE(BitOf(compiled.unheld, u'\u0E01'));
  EXPECT_FALSE(BitOf(compiled.unheld, u'?'));
  EXPECT_FALSE(BitOf(compiled.unheld, u'\u554A'));
  EXPECT_TRUE(BitOf(compiled.countedApart, static_cast<char16_t>(0xD800)));
  EXPECT_FALSE(BitOf(compiled.countedApart, u'\u554A'));
  EXPECT_FALSE(compiled.oneByteLeadCodes);
}

}  // namespace
}  // namespace gw
