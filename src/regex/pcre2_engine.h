// One compiled pattern of the program's dialect on PCRE2 (16-bit, UTF, JIT when available),
// with the global matching loop of the dialect.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

#include "regex/pcre2_handles.h"

namespace gw {

class Pcre2Pattern {
 public:
  // Compiles `pattern` (dialect syntax, see TranslatePattern). On failure valid() is false and
  // error() / errorOffset() say why and where (UTF-16 offset into `pattern`).
  Pcre2Pattern(std::u16string_view pattern, bool ignoreCase, bool multiline);

  bool valid() const { return code_ != nullptr; }
  bool usesJit() const { return jitStack_ != nullptr; }
  bool usesUnicode() const { return unicode_; }
  const std::u16string& error() const { return error_; }
  std::size_t errorOffset() const { return errorOffset_; }
  // Number of capture groups; 0 when the pattern did not compile.
  int groupCount() const { return groupCount_; }

  // Reports every match from left to right (only the first unless `global`) as PCRE2's ovector:
  // start/end pairs of the match and each group, PCRE2_UNSET for groups that took no part.
  // After an empty match the search goes on one character later. Returns false when the
  // pattern is invalid or the engine gave up (a resource limit); the matches reported up to then
  // are then to be thrown away. (A template, so that a search with a million matches makes no
  // indirect call per match.)
  template <typename OnMatch>
  bool forEachMatch(std::u16string_view subject, bool global, OnMatch&& onMatch) {
    if (!beginSearch(subject)) {
      return false;
    }
    std::size_t offset = 0;
    while (offset <= subject.size()) {
      switch (matchFrom(subject, offset)) {
        case Found::None:
          return true;
        case Found::Failure:
          return false;
        case Found::Match:
          break;
      }
      const std::size_t* ovector = this->ovector();
      // A callback that answers false gives the search up.
      if constexpr (std::is_same_v<decltype(onMatch(ovector)), bool>) {
        if (!onMatch(ovector)) {
          return false;
        }
      } else {
        onMatch(ovector);
      }
      if (!global) {
        return true;
      }
      offset = ovector[1] > ovector[0] ? ovector[1] : NextCharacter(subject, ovector[0]);
    }
    return true;
  }

 private:
  enum class Found { Match, None, Failure };
  // Checks the subject and sets the limits for it; false when no search can be made.
  bool beginSearch(std::u16string_view subject);
  // The first match at or after `offset`; its offsets are then in ovector().
  Found matchFrom(std::u16string_view subject, std::size_t offset);
  const std::size_t* ovector() const;
  // The offset one character after `offset` (a surrogate pair is one character).
  static std::size_t NextCharacter(std::u16string_view subject, std::size_t offset);
  void setLimitsFor(std::size_t subjectLength);

  pcre2::Code code_;
  pcre2::MatchData matchData_;
  pcre2::MatchContext matchContext_;
  pcre2::JitStack jitStack_;
  bool unicode_ = false;  // compiled in UTF mode
  int groupCount_ = 0;
  std::u16string error_;
  std::size_t errorOffset_ = 0;
};

}  // namespace gw
