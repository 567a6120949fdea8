#include "text/gbk_fast_tables.h"

#include <algorithm>
#include <iterator>

#include "text/gbk_chars.h"

namespace gw {
namespace {

constexpr char16_t kReplacementCharacter = 0xFFFD;
constexpr std::uint16_t kQuestionMark = '?';

}  // namespace

std::unique_ptr<GbkFastTables> DeriveGbkFastTables(const GbkTables& tables) {
  auto fast = std::make_unique<GbkFastTables>();
  std::fill(std::begin(fast->countedApart), std::end(fast->countedApart), 0);
  std::fill(std::begin(fast->unheld), std::end(fast->unheld), 0);
  fast->oneByteLeadCodes = false;
  for (std::size_t i = 0; i < 65536; ++i) {
    const char16_t unit = tables.toUnicode[i];
    fast->decode[i] = i < 0x80    ? static_cast<char16_t>(i)
                      : unit != 0 ? unit
                                  : kReplacementCharacter;
    const std::uint16_t code = tables.fromUnicode[i];
    fast->encode[i] = i < 0x80 ? static_cast<std::uint16_t>(i) : code != 0 ? code : kQuestionMark;
    const std::uint16_t encoded = fast->encode[i];
    const bool oneByteLead = encoded <= 0xFF && IsPairLeadByte(static_cast<unsigned char>(encoded));
    fast->oneByteLeadCodes |= oneByteLead;
    if (IsHighSurrogateUnit(static_cast<char16_t>(i)) || oneByteLead) {
      fast->countedApart[i / 64] |= std::uint64_t{1} << (i % 64);
    }
    if (encoded == kQuestionMark && i != kQuestionMark) {
      fast->unheld[i / 64] |= std::uint64_t{1} << (i % 64);
    }
  }
  return fast;
}

}  // namespace gw
