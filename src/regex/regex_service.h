// The program's one regular-expression facility. An instance holds one compiled pattern with
// the switches ignore-case, multi-line and global, and the match list of its last search.
// Texts are GBK on both sides; matching runs on UTF-16 (PCRE2 with JIT), so a double-byte
// character is one character for the pattern and offsets are counted in UTF-16 code units.
// Match and group numbers are 1-based. Failures give the empty value of the result type.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/memory_pages.h"

namespace gw {

class EngineText;
class Pcre2Pattern;
class ReplacementTemplate;

class RegexService {
 public:
  RegexService();
  ~RegexService();
  RegexService(RegexService&&) noexcept;
  RegexService& operator=(RegexService&&) noexcept;
  // An instance owns its compiled pattern and matches; it is moved, never shared or copied.
  RegexService(const RegexService&) = delete;
  RegexService& operator=(const RegexService&) = delete;

  // Escaping of user-typed words for use in a pattern, character by character over GBK (the
  // second byte of a double-byte character is never escaped).
  // Escapes \ ^ $ + . { } [ ] = ( ) - and the double quote; "*" becomes ".*" and "?" ".?";
  // "|" stays an alternation.
  static std::string escapeWildcards(std::string_view text);
  // Escapes every metacharacter: \ ^ $ + . { } [ ] = ( ) ? * | and the double quote.
  static std::string escapeLiteral(std::string_view text);
  // As escapeLiteral, but "|" stays an alternation.
  static std::string escapeKeepAlternation(std::string_view text);
  // As escapeKeepAlternation, but "(" and ")" stay groups.
  static std::string escapeKeepGroups(std::string_view text);

  // Compiles `pattern`. Always returns true: a pattern the engine rejects is kept, and then
  // execute() finds nothing and replace() returns the empty text; isValid(), compileError() and
  // compileErrorOffset() tell what is wrong. The previous match list stays until the next
  // execute().
  bool create(std::string_view pattern, bool ignoreCase = true, bool multiline = true,
              bool global = true);
  // Searches `subject` and keeps the matches (every non-overlapping match left to right when
  // global, else at most the first). Returns their number.
  int execute(std::string_view subject);
  // The same, taking the subject over: its GBK bytes are released as soon as the engine's
  // UTF-16 copy exists, before the search (a 100 MB export need not be held twice).
  int execute(std::string&& subject);
  int execute(const char* subject) { return execute(std::string_view(subject)); }
  // A question the search asks now and then while it collects matches; once it answers true the
  // search gives up and execute() finds nothing. It lets a stop request end the pass over a
  // whole export. Empty: never asked.
  void setInterruption(std::function<bool()> interrupted) { interrupted_ = std::move(interrupted); }
  // The pattern of the last create(); empty before.
  std::string pattern() const;
  // `subject` with every match (the first only when not global) replaced by the expansion of
  // `replacement`: "$1".."$99" groups, "$&" the match, "$`" / "$'" the text before / after it,
  // "$$" a dollar sign. The match list is not touched.
  std::string replace(std::string_view subject, std::string_view replacement = {});

  // The same operations on a text held in the engine's form (see EngineText), for a chain of
  // patterns over one text that converts it once instead of at every call. The results are those
  // of replace() and execute() on the GBK form of the text, byte for byte.
  // replace(): `text` becomes the result (empty on an engine failure, when false is returned).
  bool replaceIn(EngineText& text, std::string_view replacement = {});
  // Whether execute() would find a match in `text`. The match list is not touched.
  bool findsMatchIn(const EngineText& text);

  // Drops the match list and the text of the last search, with their memory: as after a search
  // that found nothing.
  void forgetMatches() { matches_ = MatchList{}; }

  int matchCount() const;
  std::string matchText(int i) const;
  // Group j of match i; empty when the group took no part in the match.
  std::string subMatchText(int i, int j) const;
  // Whether group j of match i took part in the match: true for a group that matched the empty
  // text, false for one in an alternative that was not taken and for numbers out of range.
  bool subMatchTookPart(int i, int j) const;
  // Number of capture groups when the last execute() found a match, else 0.
  int subMatchCount() const;
  // As matchText; `firstIndex` (when given) receives the UTF-16 offset of the match.
  std::string matchTextAt(int i, int* firstIndex = nullptr) const;
  // As subMatchText; `firstIndex` (when given) receives the UTF-16 offset of the whole match.
  std::string subMatchTextAt(int i, int j, int* firstIndex = nullptr) const;

  // Group j (0: the whole match) of match i as the engine holds it: a view into the text of the
  // last execute(), valid until the next one. Empty when out of range or when the group took no
  // part in the match. Utf16ToGbk of the view is subMatchText(i, j) (matchText(i) for j = 0).
  std::u16string_view matchView(int i, int j) const;

  // Whether the last create() gave a usable pattern.
  bool isValid() const;
  // Whether the last execute(), replace(), replaceIn() or findsMatchIn() of a usable pattern gave
  // up because the engine hit one of its limits (a pattern that backtracks catastrophically on
  // the text), so that its empty result means "not done" rather than "nothing found". A search
  // given up on an interruption is not a failure.
  bool searchFailed() const { return searchFailed_; }
  // The engine's message for a pattern it rejected (GBK), empty when the pattern is valid.
  std::string compileError() const;
  // UTF-16 offset in the pattern where the engine found the fault; -1 when it is valid.
  int compileErrorOffset() const;

 private:
  // The engine's form of a searched text, in room that is filled as the text is decoded: a large
  // text is decoded in one pass into room of one unit per byte, and the room it does not use is
  // never touched, so it costs address space but no memory.
  struct Utf16Text {
    Room<char16_t> units;
    std::size_t size = 0;
    std::u16string_view view() const { return {units.get(), size}; }
  };
  // The engine's form of a subject (cut at its first NUL byte).
  static Utf16Text engineFormOf(std::string_view subject);

  // The text of the last search and the match offsets, converted to GBK only when asked for.
  struct MatchList {
    Utf16Text subject;
    // Per match: start/end pairs of the match and its groups. 32 bits hold any offset of a
    // subject the program can search (a longer one finds nothing) at half the memory.
    std::vector<std::uint32_t> offsets;
    std::size_t stride = 0;  // offsets per match
    int groupCount = 0;
    int count = 0;
  };

  // Offsets [start, end) of group j (0 = whole match) of match i, or nullptr when out of range.
  const std::uint32_t* span(int i, int j) const;
  int search(Utf16Text subject);
  std::string textOf(int i, int j, int* firstIndex) const;
  // The parsed form of `replacement`, kept for the next call with the same text.
  const ReplacementTemplate& expansionFor(std::string_view replacement);
  // Appends `subject` with every match replaced to `out`. Returns false on an engine failure;
  // `replaced` tells whether there was a match.
  bool replaceInto(std::u16string_view subject, const ReplacementTemplate& expansion,
                   std::u16string& out, bool& replaced);

  std::string pattern_;
  bool global_ = true;
  std::unique_ptr<Pcre2Pattern> engine_;
  MatchList matches_;
  std::function<bool()> interrupted_;
  bool searchFailed_ = false;
  std::string replacementText_;
  std::unique_ptr<ReplacementTemplate> replacement_;
};

}  // namespace gw
