#include "text/source_conversion.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "text/charset.h"
#include "text/memory_pages.h"
#include "text/steps_in_halves.h"

namespace gw {
namespace {

enum class CutRule { None, AfterAscii, AfterNonSurrogateLe, AfterNonSurrogateBe, AfterLineFeed };

CutRule CutRuleOf(std::string_view charset) {
  if (charset == "UTF-8") {
    return CutRule::AfterAscii;
  }
  if (charset == "UTF-16LE") {
    return CutRule::AfterNonSurrogateLe;
  }
  if (charset == "UTF-16BE") {
    return CutRule::AfterNonSurrogateBe;
  }
  if (charset == "BIG5" || charset == "BIG5-HKSCS") {
    return CutRule::AfterLineFeed;
  }
  return CutRule::None;
}

// The first place at or after `from` where a slice may end under `rule`; the end of the bytes
// when there is none.
std::size_t NextCut(std::string_view bytes, std::size_t from, CutRule rule) {
  const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  switch (rule) {
    case CutRule::AfterAscii:
      for (std::size_t i = from; i < bytes.size(); ++i) {
        if (byteAt(i) < 0x80) {
          return i + 1;
        }
      }
      break;
    case CutRule::AfterLineFeed: {
      const std::size_t feed = bytes.find('\n', from);
      if (feed != std::string_view::npos) {
        return feed + 1;
      }
      break;
    }
    case CutRule::AfterNonSurrogateLe:
    case CutRule::AfterNonSurrogateBe: {
      // A unit is no surrogate when its high byte is below 0xD8.
      const std::size_t high = rule == CutRule::AfterNonSurrogateLe ? 1 : 0;
      for (std::size_t i = (from + 1) & ~std::size_t{1}; i + 1 < bytes.size(); i += 2) {
        if (byteAt(i + high) < 0xD8) {
          return i + 2;
        }
      }
      break;
    }
    case CutRule::None:
      break;
  }
  return bytes.size();
}

// Where slice `i` starts, of slices that end at `ends`.
std::size_t SliceStart(const std::vector<std::size_t>& ends, std::size_t i) {
  return i == 0 ? 0 : ends[i - 1];
}

// Slice `i` of `bytes`, whose slices end at `ends`.
std::string_view SliceOf(std::string_view bytes, const std::vector<std::size_t>& ends,
                         std::size_t i) {
  const std::size_t start = SliceStart(ends, i);
  return bytes.substr(start, ends[i] - start);
}

// UTF-8 never gives more bytes of GBK than it has, so the result is written into room of the
// bytes' size: each half of the slices into the room of its own bytes, the second moved down to
// the end of the first at last. The room is backed and sized slice by slice before any is
// written, so that the halves can be written side by side.
std::optional<std::string> ConvertUtf8(std::string_view bytes, const std::vector<std::size_t>& ends,
                                       std::size_t firstHalf, bool sideBySide,
                                       const StopQuery& stopRequested) {
  const std::size_t slices = ends.size();
  std::string out;
  ReserveInHugePages(out, bytes.size());
  const auto back = [&](std::size_t i) {
    PrepareForWriting(out.data() + SliceStart(ends, i), ends[i] - SliceStart(ends, i));
  };
  if (!RunStepsInHalves(slices, firstHalf, sideBySide, back, stopRequested)) {
    return std::nullopt;
  }
  for (std::size_t i = 0; i < slices; ++i) {
    if (stopRequested && stopRequested()) {
      return std::nullopt;
    }
    out.resize(ends[i]);
  }
  // Each half writes from the start of its bytes on.
  const std::size_t secondStart = sideBySide ? SliceStart(ends, firstHalf) : bytes.size();
  std::size_t written[2] = {0, 0};
  const auto convert = [&](std::size_t i) {
    const std::size_t half = sideBySide && i >= firstHalf ? 1 : 0;
    char* const at = out.data() + (half == 0 ? 0 : secondStart) + written[half];
    written[half] += Utf8ToGbkInto(SliceOf(bytes, ends, i), at);
  };
  if (!RunStepsInHalves(slices, firstHalf, sideBySide, convert, stopRequested)) {
    return std::nullopt;
  }
  if (written[1] != 0) {
    std::memmove(out.data() + written[0], out.data() + secondStart, written[1]);
  }
  out.resize(written[0] + written[1]);
  return out;
}

}  // namespace

std::optional<std::string> ConvertSourceBytes(std::string_view bytes, std::string_view charset,
                                              int threads, const StopQuery& stopRequested,
                                              std::size_t sliceBytes) {
  const CutRule rule = CutRuleOf(charset);
  std::vector<std::size_t> ends;  // of the slices, ascending
  for (std::size_t from = 0; from < bytes.size();) {
    from =
        NextCut(bytes, std::min(bytes.size(), from + std::max<std::size_t>(sliceBytes, 1)), rule);
    ends.push_back(from);
  }
  const std::size_t slices = ends.size();
  const std::size_t firstHalf = (slices + 1) / 2;
  // Big5 goes through the system's converter, which loads and lets go of its modules at every
  // conversion: its slices are converted one after another on the calling thread rather than
  // have two threads load and unload the same modules.
  const bool sideBySide = threads >= 2 && slices >= 2 && rule != CutRule::AfterLineFeed;
  if (rule == CutRule::AfterAscii) {
    return ConvertUtf8(bytes, ends, firstHalf, sideBySide, stopRequested);
  }
  std::string halves[2];
  bool failed[2] = {false, false};
  const auto convertSlice = [&](std::size_t i) {
    const std::size_t half = sideBySide && i >= firstHalf ? 1 : 0;
    const std::string converted = ConvertCharset(SliceOf(bytes, ends, i), charset, "GB18030");
    // Every character gives at least one byte: nothing back for a slice means a failure.
    failed[half] = failed[half] || converted.empty();
    halves[half] += converted;
  };
  if (!RunStepsInHalves(slices, firstHalf, sideBySide, convertSlice, stopRequested)) {
    return std::nullopt;
  }
  if (failed[0] || failed[1]) {
    return std::string();
  }
  halves[0] += halves[1];
  return std::move(halves[0]);
}

}  // namespace gw
