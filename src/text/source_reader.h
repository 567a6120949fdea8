// Reading source files (chat exports, texts for the batch replacer) into program text, whatever
// their encoding.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "text/stop_query.h"

namespace gw {

// Encoding of a source. 0-4 are the items of the encoding combo box, in order; 5 and 6 are only
// found by sniffing an HTML charset declaration.
enum class TextEncoding : int {
  Auto = 0,
  Gbk = 1,
  Utf8 = 2,
  Utf16Le = 3,
  Utf16Be = 4,
  Big5 = 5,
  Big5Hkscs = 6,
};

// Largest source the program reads, in bytes: a larger file is refused before anything is read,
// and a gzip file whose content grows beyond it is refused as soon as decompression passes it.
// Reading and cutting a source into messages needs about 2.6 times its size in memory (4.3 times
// for a gzip source), so this keeps a run well within the memory of an ordinary desktop.
inline constexpr std::size_t kMaxSourceBytes = std::size_t{512} * 1024 * 1024;

// How reading a source went.
enum class SourceStatus {
  Read,              // the text is the content
  Unreadable,        // missing, a folder, no permission, or vanished before it could be opened
  TooLarge,          // larger than kMaxSourceBytes; nothing was read
  InflatesTooLarge,  // gzip data whose content is larger than kMaxSourceBytes
  Stopped            // a stop request ended the reading; nothing is kept
};

struct SourceRead {
  std::string text;  // empty unless status is Read
  SourceStatus status = SourceStatus::Read;
  int error = 0;  // for Unreadable: the errno of the step that failed (open, stat), else 0
};

// Reads the source as ReadSourceText does, within the size limit. A source that is no regular
// file (a pipe) is read as it comes, up to one byte past the limit. With `threads` 2 or more, a
// large regular file is read, and a large source in a foreign encoding converted, in two halves
// side by side (on a thread of its own for the second). `stopRequested`, when given, is asked on
// the calling thread between the slices of reading, decompressing, testing and converting; once
// it says yes the reading ends with the status Stopped.
SourceRead ReadSource(const std::filesystem::path& path, TextEncoding choice,
                      TextEncoding& detected, int threads = 1, const StopQuery& stopRequested = {});

// Reads the file at `path` (opened for reading only; never written) and returns its content as
// program text.
//  - A gzip file (starting 1F 8B) is decompressed first; every later step sees the decompressed
//    bytes. When decompression gives nothing the bytes are used as they are.
//  - `choice` Auto: a UTF-8 or UTF-16 byte-order mark, else an HTML meta charset declaration
//    (UTF-8, Big5, Big5-HKSCS), else a UTF-8 validity scan decides; otherwise the bytes are GBK.
//    Utf8: a UTF-8 mark is skipped if present. Utf16Le/Utf16Be: the first two bytes are skipped
//    whatever they are. Gbk: the bytes are taken as they are.
//  - Foreign encodings are converted to GBK; a character GBK cannot hold becomes "?".
//  - When there is nothing to convert or the conversion gives nothing, the text is the raw
//    content from its first byte (a mark included) and `detected` is Gbk.
// Program text ends at the first zero byte; anything after it is dropped. A file that cannot be
// opened gives the empty text and leaves `detected` as it was.
std::string ReadSourceText(const std::filesystem::path& path, TextEncoding choice,
                           TextEncoding& detected);

// The same, but tells a file that cannot be opened or is refused for its size (nullopt) from an
// empty one.
std::optional<std::string> ReadSourceTextIfReadable(const std::filesystem::path& path,
                                                    TextEncoding choice, TextEncoding& detected);

// The same, also storing the text in `text`; the result is a copy of it.
std::string ReadSourceText(const std::filesystem::path& path, TextEncoding choice,
                           TextEncoding& detected, std::string& text);

// True when `bytes` holds at least one non-ASCII character and is made only of ASCII bytes and
// well-formed UTF-8 lead/continuation patterns of 2, 3 or 4 bytes (leads C0-DF, E0-EF, F0-F4).
// Only the bit patterns are tested, so over-long forms pass. Pure ASCII and empty input give
// false.
bool LooksLikeUtf8(std::string_view bytes);

}  // namespace gw
