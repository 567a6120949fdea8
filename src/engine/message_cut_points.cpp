#include "engine/message_cut_points.h"

#include <cstring>

#include "engine/patterns.h"
#include "regex/regex_service.h"

namespace gw {
namespace {

// Lines longer than this are never looked at as the line before a cut: a cut is skipped rather
// than a whole long line searched.
constexpr std::size_t kLongestLineBeforeACut = 4096;
// The start of the line after a cut holds the stamp, if any, within its first bytes.
constexpr std::size_t kStampRoom = 128;

class StampFinder {
 public:
  StampFinder() {
    anywhere_.create(StampPattern(), false, false, false);
    atStart_.create("^(?:" + StampPattern() + ")", false, false, false);
  }
  bool opensWithStamp(std::string_view line) { return atStart_.execute(line) > 0; }
  bool holdsStamp(std::string_view line) { return anywhere_.execute(line) > 0; }

 private:
  RegexService anywhere_;
  RegexService atStart_;
};

std::size_t LineEnd(std::string_view text, std::size_t from) {
  const std::size_t end = text.find('\n', from);
  return end == std::string_view::npos ? text.size() : end;
}

}  // namespace

std::vector<std::size_t> MessageCutPoints(std::string_view text, std::size_t partSize,
                                          bool markersLeft) {
  std::vector<std::size_t> cuts;
  if (partSize == 0 || text.size() <= partSize) {
    return cuts;
  }
  // Compiling the two patterns costs more than searching a few lines of a part: each thread
  // keeps its finder from source to source.
  thread_local StampFinder stamps;
  std::size_t from = partSize;
  while (from < text.size()) {
    const std::size_t searchEnd = std::min(text.size(), from + partSize);
    std::size_t cut = 0;
    // `lineStart` runs over the starts of the lines that begin in [from, searchEnd).
    for (std::size_t lineStart = LineEnd(text, from - 1) + 1; lineStart < searchEnd;
         lineStart = LineEnd(text, lineStart) + 1) {
      if (lineStart < 2 || text[lineStart - 2] != '\r') {
        continue;
      }
      const std::size_t before = text.rfind('\n', lineStart - 2);
      const std::size_t beforeStart = before == std::string_view::npos ? 0 : before + 1;
      const std::string_view lineBefore = text.substr(beforeStart, lineStart - 2 - beforeStart);
      const std::string_view line = text.substr(lineStart, LineEnd(text, lineStart) - lineStart);
      if (lineBefore.size() > kLongestLineBeforeACut) {
        continue;
      }
      if (markersLeft && lineBefore.find('[') != std::string_view::npos) {
        continue;
      }
      if (stamps.opensWithStamp(line.substr(0, kStampRoom)) && !stamps.holdsStamp(lineBefore)) {
        cut = lineStart;
        break;
      }
    }
    if (cut != 0) {
      cuts.push_back(cut);
      from = cut + partSize;
    } else {
      from = searchEnd;
    }
  }
  return cuts;
}

}  // namespace gw
