#include "engine/message_scanner.h"

#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <string>

#include "text/charset.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gw {
namespace {

constexpr std::size_t kNone = std::string_view::npos;
constexpr std::size_t kEqualsLineLength = 64;
// How many bodies are found between two questions whether to give up.
constexpr std::size_t kBodiesBetweenQuestions = 1024;
// Room for the bodies of a large text is set aside at once, as many as messages of this many
// bytes would give (real ones are about three times as long): a block of a megabyte or more is a
// mapping of its own, whose room that no body takes up is never backed by memory, whereas growing
// such a block step by step copies the bodies and backs fresh memory for them twice over. Less
// room comes from the heap, where room set aside but not used would be handed out again and
// backed later; there the bodies grow as they come.
constexpr std::size_t kBytesPerBodyForeseen = 32;
constexpr std::size_t kRoomSetAsideFrom = std::size_t{1} << 20;

#if defined(__SSE2__)
constexpr std::size_t kBlock = 16;

// Bit k set where byte k of the 16 at `bytes` is a digit, "=" or `titleLead`: the bytes that may
// begin a stamp or a header block.
unsigned MayEndBodyBits(const unsigned char* bytes, unsigned char titleLead) {
  const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
  // Within "0".."9" exactly when clamping to that range changes nothing.
  const __m128i clamped = _mm_min_epu8(_mm_max_epu8(block, _mm_set1_epi8('0')), _mm_set1_epi8('9'));
  const __m128i digits = _mm_cmpeq_epi8(clamped, block);
  const __m128i equals = _mm_cmpeq_epi8(block, _mm_set1_epi8('='));
  const __m128i lead = _mm_cmpeq_epi8(block, _mm_set1_epi8(static_cast<char>(titleLead)));
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(digits, _mm_or_si128(equals, lead))));
}
#endif

bool IsDigit(unsigned char byte) {
  return byte >= '0' && byte <= '9';
}

// The literal parts of a header block, in GBK.
struct HeaderTexts {
  std::string titleLine = Utf8ToGbk("消息记录（此消息记录为文本格式，不支持重新导入）\r\n");
  std::string groupLead = Utf8ToGbk("\r\n消息分组:");
  std::string objectLead = Utf8ToGbk("\r\n消息对象:");
  std::string equalsLine = std::string(kEqualsLineLength, '=');
};

const HeaderTexts& Headers() {
  static const HeaderTexts texts;
  return texts;
}

class Scanner {
 public:
  explicit Scanner(std::string_view text)
      : text_(reinterpret_cast<const unsigned char*>(text.data())),
        size_(text.size()),
        headers_(Headers()),
        titleLead_(static_cast<unsigned char>(headers_.titleLine[0])) {
    for (unsigned byte = '0'; byte <= '9'; ++byte) {
      mayEndBody_[byte] = true;
    }
    mayEndBody_['='] = true;
    mayEndBody_[titleLead_] = true;
  }

  bool scan(std::vector<MessageBody>& bodies, const std::function<bool()>& interrupted) {
    std::size_t from = 0;
    std::size_t found = 0;
    while (from < size_) {
      const std::size_t start = nextDigit(from);
      if (start == kNone) {
        break;
      }
      const std::size_t body = senderLineEnd(start);
      // No sender line here, or nothing after it, or a header block right after it: the search
      // goes on at the next character.
      if (body == kNone || body == size_ || headerBlockAt(body)) {
        from = start + 1;
        continue;
      }
      const std::size_t end = bodyEnd(body);
      bodies.push_back({static_cast<std::uint32_t>(body), static_cast<std::uint32_t>(end)});
      from = end;
      if (++found % kBodiesBetweenQuestions == 0 && interrupted && interrupted()) {
        return false;
      }
    }
    return true;
  }

 private:
  std::size_t nextDigit(std::size_t from) const {
    for (std::size_t at = from; at < size_; ++at) {
      if (IsDigit(text_[at])) {
        return at;
      }
    }
    return kNone;
  }

  // Takes one or two digits at `at`; false for none.
  bool oneOrTwoDigits(std::size_t& at) const {
    if (at >= size_ || !IsDigit(text_[at])) {
      return false;
    }
    ++at;
    if (at < size_ && IsDigit(text_[at])) {
      ++at;
    }
    return true;
  }

  bool byteIs(std::size_t at, unsigned char wanted) const {
    return at < size_ && text_[at] == wanted;
  }
  bool dateSeparatorAt(std::size_t at) const {
    return at < size_ && (text_[at] == '-' || text_[at] == '/');
  }

  // Where a stamp that begins at `at` can end soonest (after the first digit of its seconds), or
  // kNone when none begins there. One or two digits are taken greedily and must be followed by
  // their separator; taking one digit where there are two never helps, as the separator would
  // then have to be a digit. Only the last group ends the stamp freely.
  std::size_t stampAt(std::size_t at) const {
    for (int i = 0; i < 4; ++i, ++at) {
      if (at >= size_ || !IsDigit(text_[at])) {
        return kNone;
      }
    }
    if (!dateSeparatorAt(at++) || !oneOrTwoDigits(at) || !dateSeparatorAt(at++) ||
        !oneOrTwoDigits(at)) {
      return kNone;
    }
    int spaces = 0;
    for (; spaces < 4 && byteIs(at, ' '); ++spaces) {
      ++at;
    }
    if (spaces == 0 || !oneOrTwoDigits(at) || !byteIs(at++, ':') || !oneOrTwoDigits(at) ||
        !byteIs(at++, ':') || at >= size_ || !IsDigit(text_[at])) {
      return kNone;
    }
    return at + 1;
  }

  // The first CR or LF at or after `at`, or the end of the text. The answer for a line is kept,
  // so that the many places of one long line are not each searched to its end.
  std::size_t lineBreakFrom(std::size_t at) {
    if (at >= lineSearchedFrom_ && at <= lineBreak_) {
      return lineBreak_;
    }
    std::size_t end = at;
    while (end < size_ && text_[end] != '\r' && text_[end] != '\n') {
      ++end;
    }
    lineSearchedFrom_ = at;
    lineBreak_ = end;
    return end;
  }

  // Where the body after a sender line that begins at `at` starts (past its CR LF), or kNone.
  std::size_t senderLineEnd(std::size_t at) {
    const std::size_t stampEnd = stampAt(at);
    if (stampEnd == kNone) {
      return kNone;
    }
    const std::size_t lineBreak = lineBreakFrom(stampEnd);
    if (lineBreak == stampEnd || !byteIs(lineBreak, '\r') || !byteIs(lineBreak + 1, '\n')) {
      return kNone;
    }
    return lineBreak + 2;
  }

  bool textAt(std::size_t at, std::string_view wanted) const {
    return at <= size_ && size_ - at >= wanted.size() &&
           std::memcmp(text_ + at, wanted.data(), wanted.size()) == 0;
  }

  // The position after a "rest of the line" and its CR LF, or kNone.
  std::size_t restOfLineAt(std::size_t at) {
    const std::size_t lineBreak = lineBreakFrom(at);
    return byteIs(lineBreak, '\r') && byteIs(lineBreak + 1, '\n') ? lineBreak + 2 : kNone;
  }

  // A header block without the title line at `at`.
  bool plainHeaderBlockAt(std::size_t at) {
    const std::string_view equals = headers_.equalsLine;
    if (!textAt(at, equals) || !textAt(at += equals.size(), headers_.groupLead)) {
      return false;
    }
    at = restOfLineAt(at + headers_.groupLead.size());
    if (at == kNone || !textAt(at, equals) || !textAt(at += equals.size(), headers_.objectLead)) {
      return false;
    }
    at = restOfLineAt(at + headers_.objectLead.size());
    if (at == kNone || !textAt(at, equals)) {
      return false;
    }
    at += equals.size();
    return at == size_ || text_[at] == '\r' || text_[at] == '\n';
  }

  // A header block at `at`, which begins a character.
  bool headerBlockAt(std::size_t at) {
    if (textAt(at, headers_.titleLine)) {
      std::size_t after = at + headers_.titleLine.size();
      while (textAt(after, "\r\n")) {
        after += 2;
      }
      if (plainHeaderBlockAt(after)) {
        return true;
      }
    }
    return plainHeaderBlockAt(at);
  }

  // The bytes the character at `at` takes, as the text is decoded.
  std::size_t characterLength(std::size_t at) const {
    return at + 1 < size_ && IsDecodedGbkPair(text_[at], text_[at + 1]) ? 2 : 1;
  }

  // Whether `at` begins a character. Asked for places of one body in increasing order: the walk
  // over its characters goes on from where the last question left it (a character's start no
  // later than any place asked after), so that a body is walked once at most.
  bool beginsCharacter(std::size_t at) {
    // A byte below 0x40 is never a second byte: what follows it begins a character.
    if (text_[at - 1] < 0x40) {
      return true;
    }
    while (walked_ < at) {
      walked_ += characterLength(walked_);
    }
    return walked_ == at;
  }

  // Where the body that begins at `body` ends: the first place after its first character where a
  // stamp or a header block begins, else the end of the text. Stamps and "=" lines begin with a
  // byte below 0x40, so wherever such a byte is it begins a character.
  std::size_t bodyEnd(std::size_t body) {
    walked_ = body;
    std::size_t at = body + characterLength(body);
#if defined(__SSE2__)
    // Sixteen bytes at a time: most hold no byte that may begin a stamp or a header block.
    for (; size_ - at >= kBlock; at += kBlock) {
      for (unsigned found = MayEndBodyBits(text_ + at, titleLead_); found != 0;
           found &= found - 1) {
        const std::size_t candidate = at + static_cast<std::size_t>(std::countr_zero(found));
        if (endsBody(candidate)) {
          return candidate;
        }
      }
    }
#endif
    for (; at < size_; ++at) {
      if (mayEndBody_[text_[at]] && endsBody(at)) {
        return at;
      }
    }
    return size_;
  }

  // Whether a stamp or a header block begins at `at`, inside the body under way.
  bool endsBody(std::size_t at) {
    const unsigned char byte = text_[at];
    return IsDigit(byte) ? stampAt(at) != kNone
           : byte == '=' ? plainHeaderBlockAt(at)
                         : headerBlockAt(at) && beginsCharacter(at);
  }

  const unsigned char* text_;
  std::size_t size_;
  const HeaderTexts& headers_;
  unsigned char titleLead_;
  std::array<bool, 256> mayEndBody_{};
  std::size_t walked_ = 0;  // a character's start in the body under way (see beginsCharacter)
  std::size_t lineSearchedFrom_ = 1;
  std::size_t lineBreak_ = 0;
};

}  // namespace

bool ScanMessages(std::string_view text, std::vector<MessageBody>& bodies,
                  const std::function<bool()>& interrupted) {
  const std::string_view searched = text.substr(0, text.find('\0'));
  if (searched.size() > std::numeric_limits<std::uint32_t>::max()) {
    return false;  // offsets in it would not fit a body
  }
  const std::size_t foreseen = bodies.size() + searched.size() / kBytesPerBodyForeseen;
  if (foreseen * sizeof(MessageBody) >= kRoomSetAsideFrom) {
    bodies.reserve(foreseen);
  }
  return Scanner(searched).scan(bodies, interrupted);
}

}  // namespace gw
