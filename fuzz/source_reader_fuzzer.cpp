// Source reading: the input is written to a file and read with every encoding choice, plain and
// gzip-compressed; the charset conversions get the same bytes directly.
#include <fuzzer/FuzzedDataProvider.h>
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "text/charset.h"
#include "text/gbk_chars.h"
#include "text/gbk_tables.h"
#include "text/gzip.h"
#include "text/html_charset.h"
#include "text/source_reader.h"

namespace {

using gw::fuzz::Check;

std::string Gzip(std::string_view bytes) {
  z_stream stream{};
  Check(deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) ==
            Z_OK,
        "deflateInit2");
  std::string out(deflateBound(&stream, bytes.size()) + 32, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  stream.avail_in = static_cast<uInt>(bytes.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  Check(deflate(&stream, Z_FINISH) == Z_STREAM_END, "deflate");
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

// True when every character of a valid GBK text comes back from Unicode as the same bytes (code
// page 936 maps a few codes to a code point that another code also maps to).
bool RoundTripsThroughUnicode(std::string_view gbk) {
  const gw::GbkTables& tables = gw::Gbk();
  for (std::size_t at = 0; at < gbk.size();) {
    const auto lead = static_cast<unsigned char>(gbk[at]);
    const std::size_t length = lead <= 0x80 ? 1 : 2;  // 0x80 is "€" on its own
    const unsigned code =
        length == 1 ? lead : (lead << 8) | static_cast<unsigned char>(gbk[at + 1]);
    if (tables.fromUnicode[tables.toUnicode[code]] != code) {
      return false;
    }
    at += length;
  }
  return true;
}

std::string Read(const std::filesystem::path& path, gw::TextEncoding choice,
                 gw::TextEncoding& detected) {
  detected = gw::TextEncoding::Auto;
  return gw::ReadSourceText(path, choice, detected);
}

void CheckConversions(std::string_view bytes) {
  // GBK -> UTF-8 / UTF-16 -> GBK gives the text back when every character is a canonical GBK code.
  const std::string utf8 = gw::GbkToUtf8(bytes);
  const std::u16string utf16 = gw::GbkToUtf16(bytes);
  if (gw::fuzz::IsValidGbk(bytes) && RoundTripsThroughUnicode(bytes)) {
    Check(gw::Utf8ToGbk(utf8) == bytes, "GBK -> UTF-8 -> GBK round trip");
    Check(gw::Utf16ToGbk(utf16) == bytes, "GBK -> UTF-16 -> GBK round trip");
    Check(gw::ConvertCharset(utf8, "UTF-8", "CP936") == bytes, "ConvertCharset UTF-8 -> CP936");
  }
  // UTF-8 -> GBK -> UTF-8 gives the text back when GBK holds every character of it.
  const std::string gbk = gw::Utf8ToGbk(bytes);
  if (gbk.find('?') == std::string::npos && bytes.find('\0') == std::string_view::npos) {
    Check(gw::GbkToUtf8(gbk) == bytes, "UTF-8 -> GBK -> UTF-8 round trip");
  }
  Check(gw::GbkCharCount(utf16) == gw::CharCount(gw::Utf16ToGbk(utf16)), "GbkCharCount");
  (void)gw::ConvertCharset(bytes, "UTF-16LE", "CP936");
  (void)gw::ConvertCharset(bytes, "BIG5", "CP936");
  (void)gw::ConvertCharset(bytes, "BIG5-HKSCS", "GBK");
  (void)gw::SniffHtmlCharset(bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider provider(data, size);
  const auto choice = static_cast<gw::TextEncoding>(provider.ConsumeIntegralInRange<int>(0, 4));
  const bool compress = provider.ConsumeBool();
  const std::string bytes = provider.ConsumeRemainingBytesAsString();

  const std::filesystem::path plainPath = gw::fuzz::Scratch().path() / "source.txt";
  gw::fuzz::WriteFile(plainPath, bytes);
  gw::TextEncoding detected = gw::TextEncoding::Auto;
  const std::string text = Read(plainPath, choice, detected);
  Check(text.find('\0') == std::string::npos, "program text holds no NUL");
  Check(static_cast<int>(detected) >= 1 && static_cast<int>(detected) <= 6,
        "an encoding is detected");
  if (choice == gw::TextEncoding::Gbk && !gw::StartsWithGzipSignature(bytes)) {
    Check(text == gw::UntilFirstNul(bytes), "GBK sources are read as they are");
  }

  if (compress) {
    // A gzip file reads as its content does.
    const std::filesystem::path gzipPath = gw::fuzz::Scratch().path() / "source.txt.gz";
    gw::fuzz::WriteFile(gzipPath, Gzip(bytes));
    gw::TextEncoding detectedInGzip = gw::TextEncoding::Auto;
    const std::string fromGzip = Read(gzipPath, choice, detectedInGzip);
    if (!bytes.empty() && !gw::StartsWithGzipSignature(bytes)) {
      Check(fromGzip == text, "a gzip source reads as its content");
      Check(detectedInGzip == detected, "a gzip source is detected as its content");
    }
  }

  CheckConversions(bytes);
  return 0;
}
