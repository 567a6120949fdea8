#include "text/source_conversion.h"

#include <algorithm>
#include <vector>

#include "text/charset.h"

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
  const bool sideBySide = threads >= 2 && slices >= 2;
  const bool utf8 = charset == "UTF-8";
  std::string halves[2];
  bool failed[2] = {false, false};
  // UTF-8 never gives more bytes of GBK than it has: the first half's text has room for the whole
  // result, so that the second half's is appended without moving the first.
  if (utf8) {
    halves[0].reserve(bytes.size());
    if (sideBySide) {
      halves[1].reserve(bytes.size() - ends[firstHalf - 1]);
    }
  }
  const auto convertSlice = [&](std::size_t i) {
    const std::size_t start = i == 0 ? 0 : ends[i - 1];
    const std::string_view slice = bytes.substr(start, ends[i] - start);
    const std::size_t half = sideBySide && i >= firstHalf ? 1 : 0;
    if (utf8) {
      AppendUtf8AsGbk(slice, halves[half]);
      return;
    }
    const std::string converted = ConvertCharset(slice, charset, "GB18030");
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
