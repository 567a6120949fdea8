// The GBK tables in the form the conversion loops want: every index holds its final answer, so
// that converting a character needs no branch on what kind of character it is. They are derived
// from the GBK tables when the program is built and compiled into it, like those: deriving them
// at the first conversion cost every run a few milliseconds, most of it backing fresh memory.
#pragma once

#include <cstdint>
#include <memory>

#include "text/gbk_tables.h"

namespace gw {

struct GbkFastTables {
  // A single byte, or a lead/trail pair (lead << 8 | trail), to its code unit: bytes below 0x80
  // are themselves, a byte or pair that is no character gives U+FFFD.
  char16_t decode[65536];
  // A BMP code unit to its GBK code (below 0x100: one byte), "?" when GBK cannot hold it (lone
  // surrogates included).
  std::uint16_t encode[65536];
  // One bit per code unit (bit u % 64 of word u / 64), set where the GBK text cannot be counted
  // one character per unit: a high surrogate (a pair is one "?") and a unit whose one-byte code
  // would read as the lead of a double-byte character. A bitmap rather than a look at `encode`
  // keeps the counting loop's lookups in 8 KB.
  std::uint64_t countedApart[65536 / 64];
  // Whether countedApart holds more than the high surrogates; with these tables it does not, and
  // counting needs no lookup at all.
  bool oneByteLeadCodes;
  // One bit per code unit, as above, set where GBK cannot hold the unit ("?"): what a trip
  // through GBK changes, surrogates aside.
  std::uint64_t unheld[65536 / 64];
};

// The tables compiled into the program.
const GbkFastTables& GbkFast();

// The tables derived afresh from `tables`.
std::unique_ptr<GbkFastTables> DeriveGbkFastTables(const GbkTables& tables);

inline bool IsHighSurrogateUnit(char16_t unit) {
  return (unit & 0xFC00) == 0xD800;
}
inline bool IsLowSurrogateUnit(char16_t unit) {
  return (unit & 0xFC00) == 0xDC00;
}

}  // namespace gw
