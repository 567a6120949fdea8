// Lookup tables between code page 936 and Unicode (BMP). They are asked of glibc's CP936
// converter when the program is built (asking for some 150 000 characters one at a time took
// milliseconds at every start) and compiled into it.
#pragma once

#include <cstdint>
#include <memory>

namespace gw {

struct GbkTables {
  // Index: a single byte b (0..0xFF) or a pair (lead << 8 | trail) with lead >= 0x81.
  // Value: the UTF-16 code unit, or 0 when the byte or pair is no character (U+0000 is the byte 0).
  char16_t toUnicode[65536];
  // Index: a BMP code point. Value: the GBK code (< 0x100 for one byte, else lead << 8 | trail),
  // or 0 when code page 936 cannot hold the code point.
  std::uint16_t fromUnicode[65536];
};

// The tables compiled into the program.
const GbkTables& Gbk();

// The tables asked of the converter afresh, one character at a time; all zero when the converter
// is missing.
std::unique_ptr<GbkTables> BuildGbkTablesWithIconv();

inline bool IsGbkLeadByte(unsigned char byte) {
  return byte >= 0x81 && byte <= 0xFE;
}

}  // namespace gw
