// The GBK tables asked of glibc's CP936 converter one character at a time.
#include "text/gbk_tables.h"

#include <memory>
#include <string>

#include "text/iconv_handle.h"

namespace gw {
namespace {

// Converts one short byte sequence with `converter`; returns the output length, or 0 when the
// input is rejected or not consumed whole.
std::size_t ConvertOne(const IconvHandle& converter, const char* input, std::size_t inputLength,
                       char* output, std::size_t outputCapacity) {
  converter.reset();
  char* in = const_cast<char*>(input);
  std::size_t inLeft = inputLength;
  char* out = output;
  std::size_t outLeft = outputCapacity;
  if (iconv(converter.get(), &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) ||
      inLeft != 0) {
    return 0;
  }
  return outputCapacity - outLeft;
}

// One user-defined area of code page 936: the rows `firstLead`..`lastLead`, in each the second
// bytes `firstTrail`..`lastTrail` except 0x7F, numbered row by row from `firstCodePoint` on.
struct UserDefinedArea {
  unsigned firstLead;
  unsigned lastLead;
  unsigned firstTrail;
  unsigned lastTrail;
  char16_t firstCodePoint;
};

constexpr UserDefinedArea kUserDefinedAreas[] = {
    {0xAA, 0xAF, 0xA1, 0xFE, 0xE000},
    {0xF8, 0xFE, 0xA1, 0xFE, 0xE234},
    {0xA1, 0xA7, 0x40, 0xA0, 0xE4C6},
};

// The code page maps its user-defined areas to the Private Use Area, so that such characters keep
// their identity through Unicode; iconv leaves them out.
void MapUserDefinedAreas(GbkTables& tables) {
  for (const UserDefinedArea& area : kUserDefinedAreas) {
    char16_t codePoint = area.firstCodePoint;
    for (unsigned lead = area.firstLead; lead <= area.lastLead; ++lead) {
      for (unsigned trail = area.firstTrail; trail <= area.lastTrail; ++trail) {
        if (trail == 0x7F) {
          continue;
        }
        const unsigned code = lead << 8 | trail;
        tables.toUnicode[code] = codePoint;
        tables.fromUnicode[codePoint] = static_cast<std::uint16_t>(code);
        ++codePoint;
      }
    }
  }
}

}  // namespace

std::unique_ptr<GbkTables> BuildGbkTablesWithIconv() {
  auto tables = std::make_unique<GbkTables>();
  for (char16_t& unit : tables->toUnicode) {
    unit = 0;
  }
  for (std::uint16_t& code : tables->fromUnicode) {
    code = 0;
  }
  const IconvHandle decoder("UTF-16LE", "CP936");
  const IconvHandle encoder("CP936", "UTF-16LE");
  if (!decoder.valid() || !encoder.valid()) {
    return tables;
  }
  char out[8];
  for (unsigned byte = 0; byte < 0x80; ++byte) {
    tables->toUnicode[byte] = static_cast<char16_t>(byte);
    tables->fromUnicode[byte] = static_cast<std::uint16_t>(byte);
  }
  for (unsigned byte = 0x80; byte <= 0xFF; ++byte) {
    const char in[1] = {static_cast<char>(byte)};
    if (ConvertOne(decoder, in, 1, out, sizeof out) == 2) {
      tables->toUnicode[byte] = static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                                      static_cast<unsigned char>(out[1]) << 8);
    }
  }
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
      const char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      if (ConvertOne(decoder, in, 2, out, sizeof out) == 2) {
        tables->toUnicode[lead << 8 | trail] = static_cast<char16_t>(
            static_cast<unsigned char>(out[0]) | static_cast<unsigned char>(out[1]) << 8);
      }
    }
  }
  // The reverse direction is asked of iconv itself, so that code points with several GBK forms
  // encode exactly as iconv encodes them.
  for (unsigned codePoint = 0x80; codePoint <= 0xFFFF; ++codePoint) {
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
      continue;
    }
    const char in[2] = {static_cast<char>(codePoint & 0xFF), static_cast<char>(codePoint >> 8)};
    const std::size_t length = ConvertOne(encoder, in, 2, out, sizeof out);
    if (length == 1) {
      tables->fromUnicode[codePoint] = static_cast<unsigned char>(out[0]);
    } else if (length == 2) {
      tables->fromUnicode[codePoint] = static_cast<std::uint16_t>(
          static_cast<unsigned char>(out[0]) << 8 | static_cast<unsigned char>(out[1]));
    }
  }
  MapUserDefinedAreas(*tables);
  return tables;
}

}  // namespace gw
