#include "regex/pcre2_engine.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "regex/regex_dialect.h"

namespace gw {
namespace {

// The JIT stack grows on demand up to this size; a lazy or greedy repeat of one character over a
// multi-megabyte message needs only a few frames, nested groups repeated many times need more.
constexpr std::size_t kJitStackStart = 32 * 1024;
constexpr std::size_t kJitStackMax = 16 * 1024 * 1024;

// Match and depth limits grow with the subject, so that a linear pattern never hits them
// however long the text, while a pattern that backtracks catastrophically still stops.
constexpr std::uint64_t kMinLimit = 10'000'000;
constexpr std::uint64_t kLimitPerCodeUnit = 100;
// Heap for the interpreter's backtracking frames, in KiB (used only when JIT is unavailable).
constexpr std::uint32_t kHeapLimitKiB = 2 * 1024 * 1024;

bool IsHighSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

// No unpaired surrogate (PCRE2 in UTF mode must not see one).
bool IsValidUtf16(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsLowSurrogate(text[i])) {
      return false;
    }
    if (IsHighSurrogate(text[i])) {
      if (i + 1 == text.size() || !IsLowSurrogate(text[i + 1])) {
        return false;
      }
      ++i;
    }
  }
  return true;
}

PCRE2_SPTR AsPcre2(std::u16string_view text) {
  return reinterpret_cast<PCRE2_SPTR>(text.data());
}

}  // namespace

Pcre2Pattern::Pcre2Pattern(std::u16string_view pattern, bool ignoreCase, bool multiline) {
  const TranslatedPattern translated = TranslatePattern(pattern, multiline);

  // Line ends are handled by the rewritten pattern, so PCRE2's newline convention matters only
  // for its own search loop: under CRLF, ANY or ANYCRLF it never starts a match between a CR
  // and an LF (the dialect does, "[^a]b" finds "\nb" in "a\r\nb"). LF alone has no such rule.
  const pcre2::CompileContext compileContext(pcre2_compile_context_create(nullptr));
  if (compileContext) {
    pcre2_set_newline(compileContext.get(), PCRE2_NEWLINE_LF);
  }
  std::uint32_t options = PCRE2_ALT_BSUX | PCRE2_ALLOW_EMPTY_CLASS | PCRE2_MATCH_UNSET_BACKREF;
  // Subjects converted from GBK hold no surrogates, so code units are characters and UTF mode
  // changes one thing only: case folding beyond ASCII (Latin-1, Greek, Cyrillic, full-width
  // letters ...). It costs about a quarter of the matching time on long texts, so it is used
  // when a case-insensitive pattern compares such characters, and only then.
  if (translated.foldsNonAscii && (ignoreCase || translated.hasInlineOptions)) {
    options |= PCRE2_UTF;
    unicode_ = true;
  }
  if (ignoreCase) {
    options |= PCRE2_CASELESS;
  }
  if (multiline) {
    options |= PCRE2_MULTILINE;
  }

  int errorCode = 0;
  PCRE2_SIZE errorAt = 0;
  pcre2::Code code(pcre2_compile(AsPcre2(translated.text), translated.text.size(), options,
                                 &errorCode, &errorAt, compileContext.get()));
  if (!code) {
    std::array<PCRE2_UCHAR, 256> message{};
    const int length = pcre2_get_error_message(errorCode, message.data(), message.size());
    if (length > 0) {
      error_.assign(reinterpret_cast<const char16_t*>(message.data()),
                    static_cast<std::size_t>(length));
    } else {
      error_ = u"invalid pattern";
    }
    errorOffset_ = translated.origin[std::min(errorAt, translated.origin.size() - 1)];
    return;
  }

  pcre2::MatchData matchData(pcre2_match_data_create_from_pattern(code.get(), nullptr));
  pcre2::MatchContext matchContext(pcre2_match_context_create(nullptr));
  if (!matchData || !matchContext) {
    error_ = u"out of memory";
    return;
  }
  // Without a JIT stack of its own the JIT code would run on a 32K stack; the interpreter is
  // used then, as when the JIT is not available at all.
  if (pcre2_jit_compile(code.get(), PCRE2_JIT_COMPLETE) == 0) {
    jitStack_.reset(pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr));
    if (jitStack_) {
      pcre2_jit_stack_assign(matchContext.get(), nullptr, jitStack_.get());
    }
  }
  pcre2_set_heap_limit(matchContext.get(), kHeapLimitKiB);

  std::uint32_t captures = 0;
  pcre2_pattern_info(code.get(), PCRE2_INFO_CAPTURECOUNT, &captures);
  groupCount_ = static_cast<int>(captures);
  code_ = std::move(code);
  matchData_ = std::move(matchData);
  matchContext_ = std::move(matchContext);
}

void Pcre2Pattern::setLimitsFor(std::size_t subjectLength) {
  const std::uint64_t scaled = std::max<std::uint64_t>(
      kMinLimit, std::min<std::uint64_t>(subjectLength, UINT32_MAX) * kLimitPerCodeUnit);
  const auto limit = static_cast<std::uint32_t>(std::min<std::uint64_t>(scaled, UINT32_MAX));
  pcre2_set_match_limit(matchContext_.get(), limit);
  pcre2_set_depth_limit(matchContext_.get(), limit);
}

std::size_t Pcre2Pattern::NextCharacter(std::u16string_view subject, std::size_t offset) {
  if (offset + 1 < subject.size() && IsHighSurrogate(subject[offset]) &&
      IsLowSurrogate(subject[offset + 1])) {
    return offset + 2;
  }
  return offset + 1;
}

bool Pcre2Pattern::beginSearch(std::u16string_view subject) {
  if (!code_) {
    return false;
  }
  if (unicode_ && !IsValidUtf16(subject)) {
    return false;
  }
  setLimitsFor(subject.size());
  return true;
}

Pcre2Pattern::Found Pcre2Pattern::matchFrom(std::u16string_view subject, std::size_t offset) {
  // The subject is checked (in beginSearch) once, never by PCRE2: its check at every match would
  // make a global search quadratic in the length of the text. The JIT entry point also skips the
  // per-call set-up of pcre2_match, which counts on a text with a million matches.
  const PCRE2_SPTR data = AsPcre2(subject);
  const int rc = jitStack_ ? pcre2_jit_match(code_.get(), data, subject.size(), offset, 0,
                                             matchData_.get(), matchContext_.get())
                           : pcre2_match(code_.get(), data, subject.size(), offset,
                                         PCRE2_NO_UTF_CHECK | PCRE2_NO_JIT, matchData_.get(),
                                         matchContext_.get());
  if (rc == PCRE2_ERROR_NOMATCH) {
    return Found::None;
  }
  return rc < 0 ? Found::Failure : Found::Match;
}

const std::size_t* Pcre2Pattern::ovector() const {
  return pcre2_get_ovector_pointer(matchData_.get());
}

}  // namespace gw
