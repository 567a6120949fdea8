#include "text/gbk_tables.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace gw
