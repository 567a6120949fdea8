// The one-pass filter for replacements that can neither create nor shift occurrences: the
// occurrences replaced are those of the original text that survive a greedy pick in (word,
// position) order, an occurrence being replaced unless an earlier word, or the same word further
// left, already took one of its bytes.
//
// Occurrences arrive from the scan in order of start and are gathered in batches that end where
// no occurrence reaches past the next one's start, so that batches share no byte. A batch is
// sorted by word (the sort keeps each word's occurrences left to right) and its occurrences are
// taken one after another unless a byte of theirs is taken already (a bit set of the batch's
// bytes). Two more bit sets, the first and the last bytes of the taken occurrences, then give the
// output in one walk.
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "engine/blocked_words_bits.h"
#include "engine/blocked_words_matcher.h"
#include "engine/blocked_words_output.h"
#include "text/memory_pages.h"

namespace gw::detail {

void BlockedWordMatcher::FilterIndependent(std::string_view text, PartOutput& output) const {
  constexpr std::size_t kBatch = std::size_t{1} << 11;  // occurrences, unless a group is longer

  // The output grows in `out` beyond `used`; it always keeps room for a fixed-size copy of a
  // short gap and of the (padded) replacement.
  std::string& out = output.staged();
  std::size_t used = out.size();
  const std::size_t room =
      output.inPlace() ? std::min(text.size(), PartOutput::kStagedRoom) : text.size();
  const std::size_t wanted = used + room + room / 16 + 256;
  if (output.inPlace()) {
    out.reserve(wanted);
  } else {
    // A large output is written once from end to end: in huge pages it takes far fewer faults.
    ReserveInHugePages(out, wanted);
  }
  out.resize(wanted);
  std::size_t copied = 0;  // text before this offset is in `out`
  std::string padded = replacement_;
  padded.resize(std::max<std::size_t>(replacement_.size(), 16));
  const bool shortReplacement = replacement_.size() <= 16;
  const auto replace = [&](std::size_t start, std::size_t end) {
    if (output.PassOn(used, text.data() + copied, start - copied)) [[unlikely]] {
      used = 0;
      copied = start;
    }
    const std::size_t gap = start - copied;
    if (used + gap + padded.size() + 32 > out.size()) [[unlikely]] {
      out.resize(std::max(2 * out.size(), used + gap + padded.size() + 32));
    }
    char* const dst = out.data() + used;
    const char* const src = text.data() + copied;
    // The fixed-size copy reads 32 bytes from `copied`: only where the text holds them.
    if (gap <= 32 && copied + 32 <= text.size()) [[likely]] {
      std::memcpy(dst, src, 16);
      std::memcpy(dst + 16, src + 16, 16);
    } else {
      std::memcpy(dst, src, gap);
    }
    if (shortReplacement) [[likely]] {
      std::memcpy(dst + gap, padded.data(), 16);
    } else {
      std::memcpy(dst + gap, replacement_.data(), replacement_.size());
    }
    used += gap + replacement_.size();
    copied = end;
  };

  std::vector<std::uint64_t> keys;  // word << 32 | start - base, by start
  std::vector<std::uint64_t> scratch;
  Bits taken;
  Bits starts;  // first bytes of the taken occurrences
  Bits lasts;   // their last bytes
  const unsigned patternBits = BitsToCount(replaceableTrie_.wordCount());
  std::size_t base = 0;      // start of the batch's first occurrence
  std::size_t batchEnd = 0;  // end of its furthest-reaching occurrence
  const auto settle = [&] {
    const std::size_t span = batchEnd - base;
    SortByHighBits(keys, scratch, patternBits);
    taken.assign(span / 64 + 2, 0);
    starts.assign(span / 64 + 1, 0);
    lasts.assign(span / 64 + 1, 0);
    // Whether an occurrence is taken is hard to foretell, so it is recorded without a branch.
    for (const std::uint64_t key : keys) {
      const std::size_t offset = key & 0xFFFFFFFFu;
      const std::size_t length = replaceableTrie_.wordLength(static_cast<std::uint32_t>(key >> 32));
      const std::uint64_t took = TakeBitsIfClear(taken, offset, length);
      starts[offset >> 6] |= took << (offset & 63);
      const std::size_t last = offset + length - 1;
      lasts[last >> 6] |= took << (last & 63);
    }
    // Taken occurrences do not overlap, so the k-th first byte and the k-th last byte are those
    // of one occurrence.
    std::size_t lastWord = 0;
    std::uint64_t lastBits = lasts.empty() ? 0 : lasts[0];
    for (std::size_t w = 0; w < starts.size(); ++w) {
      for (std::uint64_t bits = starts[w]; bits != 0; bits &= bits - 1) {
        const std::size_t start = w * 64 + static_cast<std::size_t>(__builtin_ctzll(bits));
        while (lastBits == 0) {
          lastBits = lasts[++lastWord];
        }
        const std::size_t end = lastWord * 64 + static_cast<std::size_t>(__builtin_ctzll(lastBits));
        lastBits &= lastBits - 1;
        replace(base + start, base + end + 1);
      }
    }
    keys.clear();
    if (output.Drain(used)) {
      used = 0;
    }
  };

  replaceableTrie_.Scan(
      text, [&] [[gnu::always_inline]] (std::size_t start, std::size_t end, std::uint32_t pattern) {
        if (start >= batchEnd && keys.size() >= kBatch) {
          settle();
        }
        if (keys.empty()) {
          base = start;
        }
        keys.push_back(std::uint64_t{pattern} << 32 | (start - base));
        batchEnd = std::max(batchEnd, end);
      });
  if (!keys.empty()) {
    settle();
  }
  if (output.PassOn(used, text.data() + copied, text.size() - copied)) {
    used = 0;
    copied = text.size();
  }
  const std::size_t rest = text.size() - copied;
  out.resize(std::max(out.size(), used + rest));
  std::memcpy(out.data() + used, text.data() + copied, rest);
  out.resize(used + rest);
}

}  // namespace gw::detail
