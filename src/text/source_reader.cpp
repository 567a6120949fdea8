#include "text/source_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "text/charset.h"
#include "text/file_reading.h"
#include "text/gbk_chars.h"
#include "text/gzip.h"
#include "text/html_charset.h"
#include "text/memory_pages.h"
#include "text/source_conversion.h"
#include "text/steps_in_halves.h"

namespace gw {
namespace {

// A regular file from this size on is read in two halves side by side when a second thread may
// be used: the system's copying and the first touch of the room for it are then shared.
constexpr std::uint64_t kReadInHalvesFrom = std::uint64_t{8} << 20;

// Reads `size` bytes at `offset` of the file into `into`; returns the bytes read, fewer at the
// end of the file or where a read failed.
std::size_t ReadAt(int file, char* into, std::size_t size, std::size_t offset) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got = ::pread(file, into + done, size - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      break;
    }
    done += static_cast<std::size_t>(got);
  }
  return done;
}

// A regular file is read in slices of at most this size, between which a stop request is seen.
constexpr std::size_t kReadSliceBytes = std::size_t{8} << 20;

enum class RoomFilled { Whole, Short, Stopped };

// Reads the first `size` bytes of a regular file into `content` (empty, with room for them), in
// slices, the second half of them on a thread of its own when `sideBySide`. Whole: all of them
// were read. Short: the file ended early or a read failed, and `content` holds what was read up
// to the first byte that was not. Stopped: a stop request ended the reading.
//
// The room is first backed by memory, a slice in one request (a fault per page, taken as the
// bytes arrive, costs more than that on this kind of load), then sized (which only writes zeros
// into memory that is there), then filled.
RoomFilled ReadIntoRoom(int file, std::size_t size, std::string& content, bool sideBySide,
                        const StopQuery& stopRequested) {
  std::size_t slices = (size + kReadSliceBytes - 1) / kReadSliceBytes;
  if (sideBySide) {
    slices = std::max<std::size_t>(2, slices + slices % 2);  // halves of equal size
  }
  const std::size_t sliceBytes = (size + slices - 1) / slices;
  const auto startOf = [&](std::size_t i) { return std::min(size, i * sliceBytes); };
  const auto sizeOf = [&](std::size_t i) {
    return std::min(size, (i + 1) * sliceBytes) - startOf(i);
  };
  const std::size_t firstHalf = (slices + 1) / 2;
  const auto prepare = [&](std::size_t i) {
    PrepareForWriting(content.data() + startOf(i), sizeOf(i));
  };
  if (!RunStepsInHalves(slices, firstHalf, sideBySide, prepare, stopRequested)) {
    return RoomFilled::Stopped;
  }
  for (std::size_t i = 0; i < slices; ++i) {
    if (stopRequested && stopRequested()) {
      return RoomFilled::Stopped;
    }
    content.resize(startOf(i) + sizeOf(i));
  }
  std::vector<std::size_t> got(slices, 0);
  const auto read = [&](std::size_t i) {
    got[i] = ReadAt(file, content.data() + startOf(i), sizeOf(i), startOf(i));
  };
  if (!RunStepsInHalves(slices, firstHalf, sideBySide, read, stopRequested)) {
    return RoomFilled::Stopped;
  }
  for (std::size_t i = 0; i < slices; ++i) {
    if (got[i] < sizeOf(i)) {
      content.resize(startOf(i) + got[i]);
      return RoomFilled::Short;
    }
  }
  return RoomFilled::Whole;
}

// The whole content of the file, read once, or why it was not read (with the system's error
// number in `error` when it was unreadable). A read error ends the content where it happened.
SourceStatus ReadWholeFile(const std::filesystem::path& path, std::string& content, int& error,
                           int threads, const StopQuery& stopRequested) {
  const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!file.valid()) {
    error = errno;
    return SourceStatus::Unreadable;
  }
  struct stat status {};
  if (::fstat(file.get(), &status) != 0) {
    error = errno;
    return SourceStatus::Unreadable;
  }
  if (S_ISDIR(status.st_mode)) {
    error = EISDIR;
    return SourceStatus::Unreadable;
  }
  const bool regular = S_ISREG(status.st_mode);
  if (regular && static_cast<std::uint64_t>(status.st_size) > kMaxSourceBytes) {
    return SourceStatus::TooLarge;  // refused before a byte is read
  }
  // Room for the whole of a regular file (plus one byte to see the end) is taken at once and
  // the file is read straight into it, in two halves side by side when it is large and a second
  // thread may be used (the system's copying and the backing of the room are then shared).
  // Anything else (a pipe, a growing file) grows as it is read through a buffer, up to one byte
  // past the limit.
  constexpr std::size_t kCeiling = kMaxSourceBytes + 1;
  constexpr std::size_t kChunk = std::size_t{1} << 20;
  content.clear();
  if (regular && status.st_size > 0) {
    const auto size = static_cast<std::size_t>(status.st_size);
    ReserveInHugePages(content, size + 1);
    const bool halves = threads >= 2 && size >= kReadInHalvesFrom;
    switch (ReadIntoRoom(file.get(), size, content, halves, stopRequested)) {
      case RoomFilled::Whole:
        break;
      case RoomFilled::Short:
        return SourceStatus::Read;  // the file ended early, or a read failed
      case RoomFilled::Stopped:
        content.clear();
        return SourceStatus::Stopped;
    }
    // Whatever the file gained since it was measured follows as below.
    if (::lseek(file.get(), static_cast<off_t>(content.size()), SEEK_SET) < 0) {
      return SourceStatus::Read;
    }
  }
  const std::unique_ptr<char[]> chunk = std::make_unique_for_overwrite<char[]>(kChunk);
  while (content.size() < kCeiling) {
    if (stopRequested && stopRequested()) {
      content.clear();
      return SourceStatus::Stopped;
    }
    const std::size_t wanted = std::min(kChunk, kCeiling - content.size());
    const ssize_t got = ::read(file.get(), chunk.get(), wanted);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      break;
    }
    content.append(chunk.get(), static_cast<std::size_t>(got));
  }
  if (content.size() > kMaxSourceBytes) {
    content.clear();
    return SourceStatus::TooLarge;  // a file that grew, or a device without an end
  }
  return SourceStatus::Read;
}

bool StartsWith(std::string_view bytes, std::string_view mark) {
  return bytes.size() >= mark.size() && bytes.substr(0, mark.size()) == mark;
}

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

// Name of the source charset handed to the conversion; empty for none.
std::string_view CharsetName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8:
      return "UTF-8";
    case TextEncoding::Utf16Le:
      return "UTF-16LE";
    case TextEncoding::Utf16Be:
      return "UTF-16BE";
    case TextEncoding::Big5:
      return "BIG5";
    case TextEncoding::Big5Hkscs:
      return "BIG5-HKSCS";
    default:
      return {};
  }
}

TextEncoding FromHtmlCharset(HtmlCharset charset) {
  switch (charset) {
    case HtmlCharset::Utf8:
      return TextEncoding::Utf8;
    case HtmlCharset::Big5:
      return TextEncoding::Big5;
    case HtmlCharset::Big5Hkscs:
      return TextEncoding::Big5Hkscs;
    default:
      return TextEncoding::Auto;
  }
}

// Drops everything from the first zero byte on, in place.
void CutAtFirstNul(std::string& text) {
  text.resize(UntilFirstNul(text).size());
}

// What the UTF-8 test finds in `bytes`: whether they are well formed (as LooksLikeUtf8 says) and
// whether they hold a byte of 0x80 or above.
struct Utf8Patterns {
  bool wellFormed = false;
  bool anyNonAscii = false;
};

Utf8Patterns ExamineUtf8Patterns(std::string_view bytes) {
  // Eight bytes at a time, without branches. Per byte, from its top bits: a continuation byte
  // (10xxxxxx), a lead of at least two bytes (11xxxxxx), of at least three (111xxxxx), of four
  // (1111xxxx), or no lead at all (F5-FF). The bytes are well formed exactly when every byte is a
  // continuation byte if and only if a lead one, two or three bytes before it asks for one.
  constexpr std::uint64_t kHigh = 0x8080808080808080ull;
  const std::size_t n = bytes.size();
  std::uint64_t anyHigh = 0;
  std::uint64_t errors = 0;
  std::uint64_t lead2 = 0;  // the previous word's flags, for the bytes after it
  std::uint64_t lead3 = 0;
  std::uint64_t lead4 = 0;
  const auto examine = [&](std::uint64_t x) {
    const std::uint64_t bit7 = x & kHigh;
    const std::uint64_t bit6 = (x << 1) & kHigh;
    const std::uint64_t bit5 = (x << 2) & kHigh;
    const std::uint64_t bit4 = (x << 3) & kHigh;
    const std::uint64_t bit3 = (x << 4) & kHigh;
    const std::uint64_t bit2 = (x << 5) & kHigh;
    const std::uint64_t bit1 = (x << 6) & kHigh;
    const std::uint64_t bit0 = (x << 7) & kHigh;
    const std::uint64_t continuation = bit7 & ~bit6;
    const std::uint64_t atLeast2 = bit7 & bit6;
    const std::uint64_t atLeast3 = atLeast2 & bit5;
    const std::uint64_t atLeast4 = atLeast3 & bit4;
    const std::uint64_t noLead = atLeast4 & (bit3 | (bit2 & (bit1 | bit0)));  // F5-FF
    const std::uint64_t required = (atLeast2 << 8 | lead2 >> 56) | (atLeast3 << 16 | lead3 >> 48) |
                                   (atLeast4 << 24 | lead4 >> 40);
    errors |= (required ^ continuation) | noLead;
    anyHigh |= bit7;
    lead2 = atLeast2;
    lead3 = atLeast3;
    lead4 = atLeast4;
  };
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t x;
    std::memcpy(&x, bytes.data() + i, sizeof x);
    examine(x);
    if ((i & 0xFFF) == 0 && errors != 0) {
      return {};  // stop early on text that is not UTF-8
    }
  }
  if (i < n) {
    std::uint64_t x = 0;  // the last bytes, padded with zeros (ASCII)
    std::memcpy(&x, bytes.data() + i, n - i);
    examine(x);
  }
  // A sequence cut off by the end of the bytes: its continuation would lie in a padding byte,
  // or past the last word.
  const std::uint64_t pending = (lead2 >> 56) | (lead3 >> 48) | (lead4 >> 40);
  return {errors == 0 && pending == 0, anyHigh != 0};
}

// The UTF-8 test of a whole source, slice by slice, asking `stopRequested` between two slices:
// nullopt when it said yes. A slice ends after an ASCII byte, where no sequence is open, so that
// the slices tested one by one say what the whole text would.
std::optional<bool> LooksLikeUtf8InSlices(std::string_view bytes, const StopQuery& stopRequested) {
  constexpr std::size_t kSliceBytes = std::size_t{16} << 20;
  bool anyNonAscii = false;
  for (std::size_t from = 0; from < bytes.size();) {
    if (stopRequested && stopRequested()) {
      return std::nullopt;
    }
    std::size_t end = std::min(bytes.size(), from + kSliceBytes);
    while (end < bytes.size() && static_cast<unsigned char>(bytes[end - 1]) >= 0x80) {
      ++end;
    }
    const Utf8Patterns patterns = ExamineUtf8Patterns(bytes.substr(from, end - from));
    if (!patterns.wellFormed) {
      return false;
    }
    anyNonAscii = anyNonAscii || patterns.anyNonAscii;
    from = end;
  }
  return anyNonAscii;
}

}  // namespace

bool LooksLikeUtf8(std::string_view bytes) {
  const Utf8Patterns patterns = ExamineUtf8Patterns(bytes);
  return patterns.wellFormed && patterns.anyNonAscii;
}

SourceRead ReadSource(const std::filesystem::path& path, TextEncoding choice,
                      TextEncoding& detected, int threads, const StopQuery& stopRequested) {
  SourceRead result;
  std::string content;
  result.status = ReadWholeFile(path, content, result.error, threads, stopRequested);
  if (result.status != SourceStatus::Read) {
    return result;
  }

  if (StartsWithGzipSignature(content)) {
    bool exceeded = false;
    std::optional<std::string> inflated =
        GunzipBytes(content, kMaxSourceBytes, exceeded, stopRequested);
    if (!inflated) {
      result.status = SourceStatus::Stopped;
      return result;
    }
    std::string decompressed = std::move(*inflated);
    if (exceeded) {
      result.status = SourceStatus::InflatesTooLarge;
      return result;
    }
    if (!decompressed.empty()) {
      content = std::move(decompressed);
    }
  }

  detected = choice;
  std::size_t position = 0;
  switch (choice) {
    case TextEncoding::Auto:
      if (StartsWith(content, kUtf8Mark)) {
        detected = TextEncoding::Utf8;
        position = kUtf8Mark.size();
      } else if (StartsWith(content, kUtf16LeMark)) {
        detected = TextEncoding::Utf16Le;
        position = kUtf16LeMark.size();
      } else if (StartsWith(content, kUtf16BeMark)) {
        detected = TextEncoding::Utf16Be;
        position = kUtf16BeMark.size();
      } else {
        detected = FromHtmlCharset(SniffHtmlCharset(UntilFirstNul(content)));
      }
      break;
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be:
      position = std::min<std::size_t>(2, content.size());  // skipped whether a mark or not
      break;
    case TextEncoding::Utf8:
      if (StartsWith(content, kUtf8Mark)) {
        position = kUtf8Mark.size();
      }
      break;
    default:
      break;
  }

  const std::string_view rest = std::string_view(content).substr(position);
  if (detected == TextEncoding::Auto) {
    const std::optional<bool> utf8 = LooksLikeUtf8InSlices(rest, stopRequested);
    if (!utf8) {
      result.status = SourceStatus::Stopped;
      return result;
    }
    if (*utf8) {
      detected = TextEncoding::Utf8;
    }
  }

  std::string text;
  const std::string_view charset = CharsetName(detected);
  if (!charset.empty() && !rest.empty()) {
    std::optional<std::string> converted =
        ConvertSourceBytes(rest, charset, threads, stopRequested);
    if (!converted) {
      result.status = SourceStatus::Stopped;
      return result;
    }
    text = std::move(*converted);
    CutAtFirstNul(text);
  }
  if (text.empty()) {
    // Nothing converted: the raw content from its first byte, as GBK.
    text = std::move(content);
    CutAtFirstNul(text);
    detected = TextEncoding::Gbk;
  }
  result.text = std::move(text);
  return result;
}

std::optional<std::string> ReadSourceTextIfReadable(const std::filesystem::path& path,
                                                    TextEncoding choice, TextEncoding& detected) {
  SourceRead read = ReadSource(path, choice, detected);
  if (read.status != SourceStatus::Read) {
    return std::nullopt;
  }
  return std::move(read.text);
}

std::string ReadSourceText(const std::filesystem::path& path, TextEncoding choice,
                           TextEncoding& detected) {
  return ReadSourceTextIfReadable(path, choice, detected).value_or(std::string());
}

std::string ReadSourceText(const std::filesystem::path& path, TextEncoding choice,
                           TextEncoding& detected, std::string& text) {
  text = ReadSourceText(path, choice, detected);
  return text;
}

}  // namespace gw
