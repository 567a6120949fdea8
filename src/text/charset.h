// Charset conversion at the program's boundaries. The program's own text is GBK, held as the
// bytes of code page 936 ("CP936" for iconv). Every code point that code page 936 cannot hold
// becomes exactly one "?".
#pragma once

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

}  // namespace gw
