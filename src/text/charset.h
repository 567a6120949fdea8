// Charset conversion at the program's boundaries. The program's own text is GBK, held as the
// bytes of code page 936 ("CP936" for iconv). Every code point that code page 936 cannot hold
// becomes exactly one "?".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace gw {

// iconv's name of the program's text charset.
inline constexpr const char* kProgramCharset = "CP936";

// Converts `bytes` from charset `from` to charset `to` (iconv names such as "UTF-8", "UTF-16LE",
// "BIG5", "BIG5-HKSCS"). The targets "GB18030", "GBK" and "CP936" all produce the program's
// text: code page 936 bytes. Undecodable input and characters the target cannot represent each
// become one "?". Returns empty bytes when a charset is unknown.
std::string ConvertCharset(std::string_view bytes, std::string_view from, std::string_view to);

// The same conversion done entirely by iconv, without the table-driven fast paths. Exposed so
// that tests can hold the fast paths to iconv's answers.
std::string ConvertCharsetWithIconv(std::string_view bytes, std::string_view from,
                                    std::string_view to);

// GBK <-> UTF-16 (the regular-expression engine's text) and GBK <-> UTF-8 (terminal, file names,
// window toolkit). A byte pair that is no GBK character and a lone byte of 0x81 or above become
// U+FFFD when decoded; code points that GBK cannot hold become "?" when encoded.
std::u16string GbkToUtf16(std::string_view gbk);
std::string Utf16ToGbk(std::u16string_view utf16);
std::string GbkToUtf8(std::string_view gbk);
std::string Utf8ToGbk(std::string_view utf8);

// Whether the two bytes are read as one double-byte character when GBK is decoded: a lead byte
// (0x81..0xFE) and a byte that can pair with it (0x40..0xFE except 0x7F). Anything else is read
// one byte at a time.
inline bool IsDecodedGbkPair(unsigned char lead, unsigned char trail) {
  return (lead - 0x81u < 0x7Eu) & (trail >= 0x40u) & (trail != 0x7Fu) & (trail != 0xFFu);
}

// The bytes the character at `at` (within `gbk`) takes as GBK is decoded.
inline std::size_t DecodedGbkCharLength(std::string_view gbk, std::size_t at) {
  return at + 1 < gbk.size() && IsDecodedGbkPair(static_cast<unsigned char>(gbk[at]),
                                                 static_cast<unsigned char>(gbk[at + 1]))
             ? 2
             : 1;
}

// Forms of the two conversions above for hot loops, writing into room the caller holds.
// GbkToUtf16Into: `out` has room for gbk.size() units, all of which it may write (also past the
// units it decodes to); returns the units written.
std::size_t GbkToUtf16Into(std::string_view gbk, char16_t* out);
// Replaces the content of `out`, reusing its room.
void GbkToUtf16(std::string_view gbk, std::u16string& out);
// Utf16ToGbkInto: `out` has room for 2 * utf16.size() bytes; returns the bytes written.
std::size_t Utf16ToGbkInto(std::u16string_view utf16, char* out);
void AppendUtf16AsGbk(std::u16string_view utf16, std::string& out);
// Utf8ToGbk into room of `utf8.size()` bytes at `out` (the GBK text is never longer); returns the
// bytes written. The append form adds them to `out`.
std::size_t Utf8ToGbkInto(std::string_view utf8, char* out);
void AppendUtf8AsGbk(std::string_view utf8, std::string& out);

// Appends `utf16` as a trip through GBK gives it back, GbkToUtf16(Utf16ToGbk(utf16)), without
// making the trip: every unit that GBK cannot hold becomes "?", a surrogate pair one "?".
void AppendGbkRoundTrip(std::u16string_view utf16, std::u16string& out);

// CharCount(Utf16ToGbk(utf16)) without building the GBK text.
int GbkCharCount(std::u16string_view utf16);

}  // namespace gw
