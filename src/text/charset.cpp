#include "text/charset.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <memory>

#include "text/gbk_chars.h"
#include "text/gbk_fast_tables.h"
#include "text/gbk_tables.h"
#include "text/iconv_handle.h"
#include "text/memory_pages.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gw {
namespace {

constexpr char16_t kReplacementCharacter = 0xFFFD;

std::string UpperAscii(std::string_view name) {
  std::string upper(name);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
  return upper;
}

bool IsProgramCharset(const std::string& upperName) {
  return upperName == "GB18030" || upperName == "GBK" || upperName == "CP936";
}

// Decodes the GBK character at `offset`; sets `length` to the bytes it takes.
char16_t DecodeGbkAt(const GbkTables& tables, std::string_view gbk, std::size_t offset,
                     std::size_t& length) {
  const auto byte = static_cast<unsigned char>(gbk[offset]);
  length = 1;
  if (byte < 0x80) {
    return byte;
  }
  if (IsGbkLeadByte(byte) && offset + 1 < gbk.size()) {
    const auto trail = static_cast<unsigned char>(gbk[offset + 1]);
    if (trail >= 0x40 && trail != 0x7F && trail != 0xFF) {
      length = 2;
      const char16_t unit = tables.toUnicode[byte << 8 | trail];
      return unit != 0 ? unit : kReplacementCharacter;
    }
  }
  const char16_t unit = tables.toUnicode[byte];
  return unit != 0 ? unit : kReplacementCharacter;
}

void AppendUtf8(std::string& out, char32_t codePoint) {
  if (codePoint < 0x80) {
    out.push_back(static_cast<char>(codePoint));
  } else if (codePoint < 0x800) {
    out.push_back(static_cast<char>(0xC0 | codePoint >> 6));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else if (codePoint < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | codePoint >> 12));
    out.push_back(static_cast<char>(0x80 | (codePoint >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | codePoint >> 18));
    out.push_back(static_cast<char>(0x80 | (codePoint >> 12 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (codePoint >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  }
}

// Length of the well-formed UTF-8 sequence at `offset` and its code point; 0 when the bytes there
// are no well-formed sequence (stray continuation byte, over-long form, surrogate, truncation).
std::size_t DecodeUtf8At(std::string_view utf8, std::size_t offset, char32_t& codePoint) {
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(utf8[offset + i]); };
  const std::size_t left = utf8.size() - offset;
  const unsigned char lead = at(0);
  const auto continuation = [&](std::size_t i) { return i < left && (at(i) & 0xC0) == 0x80; };
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  }
  if (lead >= 0xC2 && lead <= 0xDF && continuation(1)) {
    codePoint = (lead & 0x1Fu) << 6 | (at(1) & 0x3Fu);
    return 2;
  }
  if (lead >= 0xE0 && lead <= 0xEF && continuation(1) && continuation(2)) {
    codePoint = (lead & 0x0Fu) << 12 | (at(1) & 0x3Fu) << 6 | (at(2) & 0x3Fu);
    if (codePoint < 0x800 || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
      return 0;
    }
    return 3;
  }
  if (lead >= 0xF0 && lead <= 0xF4 && continuation(1) && continuation(2) && continuation(3)) {
    codePoint =
        (lead & 0x07u) << 18 | (at(1) & 0x3Fu) << 12 | (at(2) & 0x3Fu) << 6 | (at(3) & 0x3Fu);
    if (codePoint < 0x10000 || codePoint > 0x10FFFF) {
      return 0;
    }
    return 4;
  }
  return 0;
}

std::string Utf16BytesToGbk(std::string_view bytes, bool bigEndian) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    const auto first = static_cast<unsigned char>(bytes[2 * i]);
    const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
    units[i] = static_cast<char16_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
  }
  std::string out = Utf16ToGbk(units);
  if (bytes.size() % 2 != 0) {
    out.push_back('?');  // a truncated last code unit
  }
  return out;
}

// Size of the smallest unit of a charset: what an undecodable sequence is skipped by.
std::size_t CodeUnitSize(const std::string& upperName) {
  if (upperName.find("UTF-16") != std::string::npos || upperName.find("UCS-2") == 0) {
    return 2;
  }
  if (upperName.find("UTF-32") != std::string::npos || upperName.find("UCS-4") == 0) {
    return 4;
  }
  return 1;
}

}  // namespace

namespace {

// 1 when the GBK text of `unit` cannot be counted as one character (see countedApart), else 0.
inline std::uint64_t CountedApart(const GbkFastTables& tables, char16_t unit) {
  return tables.countedApart[unit >> 6] >> (unit & 63) & 1;
}

// The number of code units `gbk` decodes to. (Branches beat branch-free code in both loops here:
// runs of ASCII and of double-byte characters are long enough to predict.)
std::size_t Utf16Length(std::string_view gbk) {
  const auto* in = reinterpret_cast<const unsigned char*>(gbk.data());
  const unsigned char* const end = in + gbk.size();
  std::size_t units = 0;
  for (; end - in >= 2; ++units) {
    in += (in[0] >= 0x80 && IsDecodedGbkPair(in[0], in[1])) ? 2 : 1;
  }
  return units + static_cast<std::size_t>(end - in);
}

// Code units at `at` (before `end`) that GBK encodes as one "?": a surrogate pair, else one.
inline std::size_t SurrogateRun(const char16_t* at, const char16_t* end) {
  return IsHighSurrogateUnit(at[0]) && end - at >= 2 && IsLowSurrogateUnit(at[1]) ? 2 : 1;
}

// Decodes the characters from `in` up to `end` one at a time into `out`; returns the end of the
// units written.
inline char16_t* DecodeChars(const GbkFastTables& tables, const unsigned char* in,
                             const unsigned char* end, char16_t* out) {
  while (in < end) {
    const unsigned byte = *in;
    if (byte < 0x80) {
      *out++ = static_cast<char16_t>(byte);
      ++in;
    } else if (end - in >= 2 && IsDecodedGbkPair(static_cast<unsigned char>(byte), in[1])) {
      *out++ = tables.decode[byte << 8 | in[1]];
      in += 2;
    } else {
      *out++ = tables.decode[byte];
      ++in;
    }
  }
  return out;
}

// Writes the GBK code of one unit that is no surrogate; returns the end of the bytes written.
// Both bytes are stored; a one-byte code advances by one, and the next character overwrites the
// spare byte (which stays within the room of two bytes per unit).
inline char* EncodeUnit(const GbkFastTables& tables, char16_t unit, char* out) {
  const std::uint16_t code = tables.encode[unit];
  const bool twoBytes = code > 0xFF;
  out[0] = static_cast<char>(twoBytes ? code >> 8 : code);
  out[1] = static_cast<char>(code & 0xFF);
  return out + 1 + static_cast<std::size_t>(twoBytes);
}

// Encodes the units from `in` up to `stop` one at a time into `out` (a surrogate pair that
// starts before `stop` is taken whole; the text ends at `end`); moves `in` past them and returns
// the end of the bytes written.
inline char* EncodeUnits(const GbkFastTables& tables, const char16_t*& in, const char16_t* stop,
                         const char16_t* end, char* out) {
  while (in < stop) {
    if (IsHighSurrogateUnit(*in)) {
      in += SurrogateRun(in, end);  // a supplementary-plane character: one "?" for the pair
      *out++ = '?';
    } else {
      out = EncodeUnit(tables, *in++, out);
    }
  }
  return out;
}

// The unit a trip through GBK gives back for one unit that is no high surrogate.
inline char16_t RoundTripUnit(const GbkFastTables& tables, char16_t unit) {
  return tables.unheld[unit >> 6] >> (unit & 63) & 1 ? u'?' : unit;
}

// Writes the round trip of the units from `in` up to `stop` one at a time to `out` (a surrogate
// pair that starts before `stop` is taken whole; the text ends at `end`); moves `in` past them
// and returns the end of the units written.
inline char16_t* RoundTripUnits(const GbkFastTables& tables, const char16_t*& in,
                                const char16_t* stop, const char16_t* end, char16_t* out) {
  while (in < stop) {
    if (IsHighSurrogateUnit(*in)) {
      in += SurrogateRun(in, end);
      *out++ = u'?';
    } else {
      *out++ = RoundTripUnit(tables, *in++);
    }
  }
  return out;
}

// With SSE2, which every x86-64 processor has, the loops below take the text 16 bytes or units
// at a time: a block of ASCII is converted at once, a block of double-byte characters with one
// test for the whole block. The last few bytes or units, and everything where SSE2 is missing,
// go one character at a time.
#if defined(__SSE2__)

constexpr std::size_t kBlock = 16;

inline __m128i Load16(const void* at) {
  return _mm_loadu_si128(static_cast<const __m128i*>(at));
}
inline void Store16(void* at, __m128i bytes) {
  _mm_storeu_si128(static_cast<__m128i*>(at), bytes);
}

// Bit k set where byte k is 0x80 or above.
inline unsigned HighBytes(__m128i bytes) {
  return static_cast<unsigned>(_mm_movemask_epi8(bytes));
}

// Bits 2j and 2j + 1 set where bytes 2j and 2j + 1 form one double-byte character.
inline unsigned GbkPairBits(__m128i bytes) {
  // With the top bit flipped, bytes compare as signed numbers: a lead (0x81..0xFE) is above
  // 0x80, flipped 0; a trail (0x40..0xFE) is above 0x3F, flipped -65. 0x7F and 0xFF are neither.
  const __m128i flipped = _mm_xor_si128(bytes, _mm_set1_epi8(static_cast<char>(0x80)));
  const __m128i floors = _mm_set1_epi16(static_cast<short>(0xBF00));  // little-endian: lead first
  const __m128i neither =
      _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(0x7F)),
                   _mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(0xFF))));
  const __m128i fits = _mm_andnot_si128(neither, _mm_cmpgt_epi8(flipped, floors));
  return HighBytes(_mm_cmpeq_epi16(fits, _mm_set1_epi8(-1)));
}

// Bit k set where unit k of the 16 units low, high (8 each) is 0x80 or above.
inline unsigned NonAsciiUnits(__m128i low, __m128i high) {
  const __m128i aboveAscii = _mm_set1_epi16(static_cast<short>(0xFF80));
  const __m128i zero = _mm_setzero_si128();
  const __m128i asciiLow = _mm_cmpeq_epi16(_mm_and_si128(low, aboveAscii), zero);
  const __m128i asciiHigh = _mm_cmpeq_epi16(_mm_and_si128(high, aboveAscii), zero);
  return ~HighBytes(_mm_packs_epi16(asciiLow, asciiHigh)) & 0xFFFF;
}

// Bit k set where unit k of the 16 units low, high (8 each) is a surrogate.
inline unsigned SurrogateUnits(__m128i low, __m128i high) {
  const __m128i kind = _mm_set1_epi16(static_cast<short>(0xF800));
  const __m128i surrogate = _mm_set1_epi16(static_cast<short>(0xD800));
  return HighBytes(_mm_packs_epi16(_mm_cmpeq_epi16(_mm_and_si128(low, kind), surrogate),
                                   _mm_cmpeq_epi16(_mm_and_si128(high, kind), surrogate)));
}

// Bit k set where unit k of the 16 units low, high (8 each) is a high surrogate.
inline unsigned HighSurrogateUnits(__m128i low, __m128i high) {
  const __m128i kind = _mm_set1_epi16(static_cast<short>(0xFC00));
  const __m128i surrogate = _mm_set1_epi16(static_cast<short>(0xD800));
  return HighBytes(_mm_packs_epi16(_mm_cmpeq_epi16(_mm_and_si128(low, kind), surrogate),
                                   _mm_cmpeq_epi16(_mm_and_si128(high, kind), surrogate)));
}

// Bit k set where unit k of the 16 units low, high (8 each) is `unit`.
inline unsigned UnitsEqualTo(__m128i low, __m128i high, char16_t unit) {
  const __m128i wanted = _mm_set1_epi16(static_cast<short>(unit));
  return HighBytes(_mm_packs_epi16(_mm_cmpeq_epi16(low, wanted), _mm_cmpeq_epi16(high, wanted)));
}

// Decodes what starts the 16 bytes at `in`: a run of ASCII, a run of double-byte characters, or
// one byte that is neither. Writes up to 16 units to `out`, of which `units` count; returns the
// bytes taken.
inline std::size_t DecodeBlockStart(const GbkFastTables& tables, const unsigned char* in,
                                    char16_t* out, std::size_t& units) {
  const __m128i bytes = Load16(in);
  const unsigned high = HighBytes(bytes);
  if ((high & 1) == 0) {
    const __m128i zero = _mm_setzero_si128();
    Store16(out, _mm_unpacklo_epi8(bytes, zero));
    Store16(out + 8, _mm_unpackhi_epi8(bytes, zero));
    units = static_cast<std::size_t>(std::countr_zero(high | 1u << kBlock));
    return units;
  }
  units = static_cast<std::size_t>(std::countr_one(GbkPairBits(bytes))) / 2;
  if (units == 0) {
    out[0] = tables.decode[in[0]];
    units = 1;
    return 1;
  }
  // All eight pairs are looked up (any two bytes index the table), the run's are kept.
  for (std::size_t j = 0; j < kBlock / 2; ++j) {
    out[j] = tables.decode[in[2 * j] << 8 | in[2 * j + 1]];
  }
  return 2 * units;
}

#endif

}  // namespace

std::size_t GbkToUtf16Into(std::string_view gbk, char16_t* out) {
  const GbkFastTables& tables = GbkFast();
  const auto* in = reinterpret_cast<const unsigned char*>(gbk.data());
  const unsigned char* const end = in + gbk.size();
  char16_t* const start = out;
#if defined(__SSE2__)
  // Every character takes at least one byte and gives one unit, so `out` never passes the place
  // of `in`, and the room for one unit per byte holds the 16 units a block may write.
  while (static_cast<std::size_t>(end - in) >= kBlock) {
    std::size_t units = 0;
    in += DecodeBlockStart(tables, in, out, units);
    out += units;
  }
#endif
  out = DecodeChars(tables, in, end, out);
  return static_cast<std::size_t>(out - start);
}

void GbkToUtf16(std::string_view gbk, std::u16string& out) {
  // Small texts are decoded into room of one unit per byte and cut to size; large ones are
  // measured first, so that a large text is never held with room to spare. The decoding may
  // write a block of units past its end (never past one unit per byte): the measured room has
  // that block's worth more.
  constexpr std::size_t kMeasureFirstAbove = 1 << 20;
  constexpr std::size_t kBlockOfUnits = 16;
  out.resize(gbk.size() > kMeasureFirstAbove
                 ? std::min(gbk.size(), Utf16Length(gbk) + kBlockOfUnits)
                 : gbk.size());
  out.resize(GbkToUtf16Into(gbk, out.data()));
}

std::u16string GbkToUtf16(std::string_view gbk) {
  std::u16string out;
  GbkToUtf16(gbk, out);
  return out;
}

std::size_t Utf16ToGbkInto(std::u16string_view utf16, char* out) {
  const GbkFastTables& tables = GbkFast();
  const char16_t* in = utf16.data();
  const char16_t* const end = in + utf16.size();
  char* const start = out;
#if defined(__SSE2__)
  // Every unit gives at most two bytes, so `out` never passes twice the place of `in`, and the
  // room for two bytes per unit holds the 16 bytes an ASCII block writes.
  while (static_cast<std::size_t>(end - in) >= kBlock) {
    const __m128i low = Load16(in);
    const __m128i high = Load16(in + 8);
    if (NonAsciiUnits(low, high) == 0) {
      Store16(out, _mm_packus_epi16(low, high));
      in += kBlock;
      out += kBlock;
    } else if (SurrogateUnits(low, high) == 0) {
      for (std::size_t k = 0; k < kBlock; ++k) {
        out = EncodeUnit(tables, in[k], out);
      }
      in += kBlock;
    } else {
      out = EncodeUnits(tables, in, in + kBlock, end, out);
    }
  }
#endif
  out = EncodeUnits(tables, in, end, end, out);
  return static_cast<std::size_t>(out - start);
}

void AppendUtf16AsGbk(std::u16string_view utf16, std::string& out) {
  const std::size_t old = out.size();
  out.resize(old + 2 * utf16.size());
  out.resize(old + Utf16ToGbkInto(utf16, out.data() + old));
}

std::string Utf16ToGbk(std::u16string_view utf16) {
  std::string out;
  AppendUtf16AsGbk(utf16, out);
  return out;
}

void AppendGbkRoundTrip(std::u16string_view utf16, std::u16string& out) {
  const GbkFastTables& tables = GbkFast();
  const std::size_t old = out.size();
  out.resize(old + utf16.size());
  const char16_t* in = utf16.data();
  const char16_t* const end = in + utf16.size();
  char16_t* write = out.data() + old;
#if defined(__SSE2__)
  // No unit gives more than one unit, so `write` never passes the place of `in`.
  while (static_cast<std::size_t>(end - in) >= kBlock) {
    const __m128i low = Load16(in);
    const __m128i high = Load16(in + 8);
    if (NonAsciiUnits(low, high) == 0) {
      Store16(write, low);
      Store16(write + 8, high);
      in += kBlock;
      write += kBlock;
    } else if (SurrogateUnits(low, high) == 0) {
      for (std::size_t k = 0; k < kBlock; ++k) {
        write[k] = RoundTripUnit(tables, in[k]);
      }
      in += kBlock;
      write += kBlock;
    } else {
      write = RoundTripUnits(tables, in, in + kBlock, end, write);
    }
  }
#endif
  write = RoundTripUnits(tables, in, end, end, write);
  out.resize(static_cast<std::size_t>(write - out.data()));
}

int GbkCharCount(std::u16string_view utf16) {
  const GbkFastTables& tables = GbkFast();
  const char16_t* const units = utf16.data();
  const std::size_t size = utf16.size();
  std::size_t crLfPairs = 0;
  // Not 0 once a unit is met whose GBK text cannot be counted unit by unit.
  std::uint64_t apart = 0;
  std::size_t i = 0;
#if defined(__SSE2__)
  for (; size - i >= kBlock; i += kBlock) {
    const __m128i low = Load16(units + i);
    const __m128i high = Load16(units + i + 8);
    if (!tables.oneByteLeadCodes) {
      apart |= HighSurrogateUnits(low, high);
    } else if (NonAsciiUnits(low, high) != 0) {
      for (std::size_t k = i; k < i + kBlock; ++k) {
        apart |= CountedApart(tables, units[k]);
      }
    }
    const unsigned cr = UnitsEqualTo(low, high, u'\r');
    if (cr != 0) {
      const unsigned lf = UnitsEqualTo(low, high, u'\n');
      // Few CRs: one bit at a time beats a call for a population count (no POPCNT on x86-64).
      for (unsigned pairs = cr & (lf >> 1); pairs != 0; pairs &= pairs - 1) {
        ++crLfPairs;
      }
      // A CR at the block's end pairs with an LF that starts the next.
      crLfPairs += static_cast<std::size_t>((cr >> 15) != 0 && size - i > kBlock &&
                                            units[i + kBlock] == u'\n');
    }
  }
#endif
  for (; i < size; ++i) {
    const char16_t unit = units[i];
    crLfPairs += static_cast<std::size_t>(unit == u'\r' && i + 1 < size && units[i + 1] == u'\n');
    apart |= CountedApart(tables, unit);
  }
  if (apart != 0) {
    // A surrogate pair is one "?", and a one-byte code that leads a pair reads as the lead of a
    // double-byte character: count on the GBK text itself.
    return CharCount(Utf16ToGbk(utf16));
  }
  const std::size_t count = size - crLfPairs;
  return static_cast<int>(std::min<std::size_t>(count, std::numeric_limits<int>::max()));
}

std::string GbkToUtf8(std::string_view gbk) {
  const GbkTables& tables = Gbk();
  std::string out;
  out.reserve(gbk.size() + gbk.size() / 2);
  for (std::size_t offset = 0; offset < gbk.size();) {
    const auto byte = static_cast<unsigned char>(gbk[offset]);
    if (byte < 0x80) {
      out.push_back(static_cast<char>(byte));
      ++offset;
      continue;
    }
    std::size_t length = 0;
    AppendUtf8(out, DecodeGbkAt(tables, gbk, offset, length));
    offset += length;
  }
  return out;
}

// From this size on, the room for a conversion's result is backed at once (see AppendUtf8AsGbk).
constexpr std::size_t kBackedAtOnceFrom = std::size_t{1} << 20;

std::size_t Utf8ToGbkInto(std::string_view utf8, char* out) {
  const GbkFastTables& tables = GbkFast();
  const auto* in = reinterpret_cast<const unsigned char*>(utf8.data());
  const unsigned char* const end = in + utf8.size();
  char* const start = out;
  while (in < end) {
    // Runs of ASCII are copied eight bytes at a time.
    while (end - in >= 8) {
      std::uint64_t word;
      std::memcpy(&word, in, sizeof word);
      if ((word & 0x8080808080808080ull) != 0) {
        break;
      }
      std::memcpy(out, in, sizeof word);
      in += sizeof word;
      out += sizeof word;
    }
    if (in == end) {
      break;
    }
    if (*in < 0x80) {
      *out++ = static_cast<char>(*in++);
      continue;
    }
    // The sequences of Chinese text, three bytes for the Basic Multilingual Plane (surrogates
    // and over-long forms excluded), are decoded here; the others by DecodeUtf8At.
    char32_t codePoint = 0;
    std::size_t length = 0;
    if ((in[0] & 0xF0) == 0xE0 && end - in >= 3 && (in[1] & 0xC0) == 0x80 &&
        (in[2] & 0xC0) == 0x80) {
      codePoint = (in[0] & 0x0Fu) << 12 | (in[1] & 0x3Fu) << 6 | (in[2] & 0x3Fu);
      length = codePoint >= 0x800 && (codePoint < 0xD800 || codePoint > 0xDFFF) ? 3 : 0;
    } else {
      const std::size_t offset =
          static_cast<std::size_t>(in - reinterpret_cast<const unsigned char*>(utf8.data()));
      length = DecodeUtf8At(utf8, offset, codePoint);
    }
    if (length == 0) {
      *out++ = '?';
      ++in;
      continue;
    }
    // Every character of two bytes or more gives at most as many bytes of GBK: one or two, or
    // one "?" outside the Basic Multilingual Plane.
    const std::uint16_t code = codePoint <= 0xFFFF ? tables.encode[codePoint] : '?';
    if (code > 0xFF) {
      out[0] = static_cast<char>(code >> 8);
      out[1] = static_cast<char>(code & 0xFF);
      out += 2;
    } else {
      *out++ = static_cast<char>(code);
    }
    in += length;
  }
  return static_cast<std::size_t>(out - start);
}

void AppendUtf8AsGbk(std::string_view utf8, std::string& out) {
  const std::size_t old = out.size();
  if (utf8.size() >= kBackedAtOnceFrom) {
    // A whole source: its room is backed in one request, with large pages where they can be
    // had, rather than a page at a time as the conversion reaches it.
    ReserveInHugePages(out, old + utf8.size());
    PrepareForWriting(out.data() + old, utf8.size());
  }
  out.resize(old + utf8.size());
  out.resize(old + Utf8ToGbkInto(utf8, out.data() + old));
}

std::string Utf8ToGbk(std::string_view utf8) {
  std::string out;
  AppendUtf8AsGbk(utf8, out);
  return out;
}

std::string ConvertCharsetWithIconv(std::string_view bytes, std::string_view from,
                                    std::string_view to) {
  std::string target = UpperAscii(to);
  if (IsProgramCharset(target)) {
    target = kProgramCharset;
  }
  const std::string source = UpperAscii(from);
  const IconvHandle converter(target, source);
  // `probe` decodes one character of the source to learn how many bytes it takes; `single`
  // converts one character on its own.
  const IconvHandle probe("UTF-32LE", source);
  const IconvHandle single(target, source);
  const IconvHandle question(target, "ASCII");
  if (!converter.valid() || !probe.valid() || !single.valid() || !question.valid()) {
    return {};
  }
  std::string replacement(8, '\0');
  {
    char mark = '?';
    char* in = &mark;
    std::size_t inLeft = 1;
    char* out = replacement.data();
    std::size_t outLeft = replacement.size();
    if (iconv(question.get(), &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) {
      return {};
    }
    replacement.resize(replacement.size() - outLeft);
  }
  const std::size_t unitSize = CodeUnitSize(source);

  std::string result(bytes.size() * 2 + 16, '\0');
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  std::size_t written = 0;
  const char* retried = nullptr;  // where a held-back character was last dropped
  const auto skipOneCharacter = [&] {
    std::size_t length = unitSize;
    char32_t decoded[2];
    char* probeIn = in;
    std::size_t probeLeft = inLeft < 8 ? inLeft : 8;
    char* probeOut = reinterpret_cast<char*>(decoded);
    std::size_t probeOutLeft = 4;  // room for exactly one character
    probe.reset();
    iconv(probe.get(), &probeIn, &probeLeft, &probeOut, &probeOutLeft);
    if (probeOutLeft == 0 && probeIn > in) {
      length = static_cast<std::size_t>(probeIn - in);
    }
    if (length > inLeft) {
      length = inLeft;
    }
    // A stateful source (Big5-HKSCS holds a character back to see whether a combining mark
    // follows) fails on the held-back character only when the next one arrives: the failure is
    // then reported at a character that converts on its own, which must not be skipped. The
    // held-back character is dropped (it becomes the one "?") and the next one is converted again,
    // once.
    if (length == 0 || in != retried) {
      bool convertsAlone = length == 0;
      if (!convertsAlone) {
        char buffer[32];
        char* singleIn = in;
        std::size_t singleLeft = length;
        char* singleOut = buffer;
        std::size_t singleOutLeft = sizeof buffer;
        single.reset();
        convertsAlone = iconv(single.get(), &singleIn, &singleLeft, &singleOut, &singleOutLeft) !=
                            static_cast<std::size_t>(-1) &&
                        singleLeft == 0 &&
                        iconv(single.get(), nullptr, nullptr, &singleOut, &singleOutLeft) !=
                            static_cast<std::size_t>(-1);
      }
      if (convertsAlone) {
        converter.reset();
        retried = in;
        length = 0;
      }
    }
    in += length;
    inLeft -= length;
    if (result.size() - written < replacement.size()) {
      result.resize(result.size() * 2 + replacement.size());
    }
    std::memcpy(result.data() + written, replacement.data(), replacement.size());
    written += replacement.size();
  };
  while (true) {
    if (inLeft == 0) {
      // The end: a stateful source (Big5-HKSCS holds a character back to see whether a
      // combining mark follows) writes what it still holds. That is at most a few bytes; glibc
      // reports a character it cannot write there as "no room" however much room there is, so
      // any failure of this last step stands for one character the target cannot hold.
      constexpr std::size_t kFlushRoom = 64;
      if (result.size() - written < kFlushRoom) {
        result.resize(written + kFlushRoom);
      }
      char* out = result.data() + written;
      std::size_t outLeft = result.size() - written;
      if (iconv(converter.get(), nullptr, nullptr, &out, &outLeft) ==
          static_cast<std::size_t>(-1)) {
        std::memcpy(result.data() + written, replacement.data(), replacement.size());
        written += replacement.size();
      } else {
        written = result.size() - outLeft;
      }
      break;
    }
    char* out = result.data() + written;
    std::size_t outLeft = result.size() - written;
    const std::size_t status = iconv(converter.get(), &in, &inLeft, &out, &outLeft);
    written = result.size() - outLeft;
    if (status != static_cast<std::size_t>(-1)) {
      continue;
    }
    if (errno == E2BIG) {
      result.resize(result.size() * 2);
    } else if (errno == EILSEQ || errno == EINVAL) {
      skipOneCharacter();
    } else {
      return {};
    }
  }
  result.resize(written);
  return result;
}

std::string ConvertCharset(std::string_view bytes, std::string_view from, std::string_view to) {
  const std::string target = UpperAscii(to);
  const std::string source = UpperAscii(from);
  if (IsProgramCharset(target)) {
    if (source == "UTF-8" || source == "UTF8") {
      return Utf8ToGbk(bytes);
    }
    if (source == "UTF-16LE") {
      return Utf16BytesToGbk(bytes, false);
    }
    if (source == "UTF-16BE") {
      return Utf16BytesToGbk(bytes, true);
    }
  }
  return ConvertCharsetWithIconv(bytes, from, to);
}

}  // namespace gw
