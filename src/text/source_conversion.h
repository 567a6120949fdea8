// Converting a source's bytes in a foreign encoding to program text, slice by slice: on two
// threads for a large source, and given up between two slices when a stop is requested.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "text/stop_query.h"

namespace gw {

inline constexpr std::size_t kSourceSliceBytes = std::size_t{4} << 20;

// ConvertCharset(bytes, charset, "GB18030") for the charsets a source is read in ("UTF-8",
// "UTF-16LE", "UTF-16BE", "BIG5", "BIG5-HKSCS"), computed in slices of about `sliceBytes` that
// each end where a character ends whatever follows it, so that the slices converted one by one
// give the same text:
// - UTF-8: after an ASCII byte;
// - UTF-16: after a code unit that is no surrogate;
// - Big5 and Big5-HKSCS: after a line feed (an ASCII byte there also ends what the converter
//   holds back to see whether a combining mark follows).
// A text without such a place stays one slice. With `threads` 2 or more, the second half of the
// slices of UTF-8 and UTF-16 is converted on a thread of its own. Returns nullopt when
// `stopRequested` (asked on the calling thread between slices) ended the conversion; the empty text
// when the conversion failed.
std::optional<std::string> ConvertSourceBytes(std::string_view bytes, std::string_view charset,
                                              int threads, const StopQuery& stopRequested,
                                              std::size_t sliceBytes = kSourceSliceBytes);

}  // namespace gw
