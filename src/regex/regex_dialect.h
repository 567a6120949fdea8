// The pattern and replacement dialect of the program (the JavaScript / VBScript family) on top
// of PCRE2. Patterns are rewritten where PCRE2 reads a construct differently; replacement
// templates are parsed into pieces once and expanded for every match.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace gw {

// A pattern rewritten for PCRE2, with the position in the original pattern of every code unit
// of the rewrite (plus one entry for the end), so that compile errors point into the text the
// user typed.
struct TranslatedPattern {
  std::u16string text;
  std::vector<std::size_t> origin;
  // The pattern may compare non-ASCII characters that have an upper and a lower case form (a
  // cased character, a class range over such characters, a back reference). Only then does
  // case-insensitive matching need Unicode case folding.
  bool foldsNonAscii = false;
  // The pattern sets options inline ("(?i)" ...).
  bool hasInlineOptions = false;
};

// Rewrites a pattern of the program's dialect into an equivalent PCRE2 pattern:
// - "." matches any character except the line terminators LF, CR, U+2028 and U+2029;
// - with `multiline`, "^" matches at the start and after any line terminator and "$" at the end
//   and before any line terminator (also between CR and LF, also at a lone CR); without it they
//   match only at the very start and the very end;
// - "\v" is the vertical tab, escapes of letters without a meaning are the letter itself, "[" in
//   a class is literal and a hyphen next to a class escape ("[\d-x]") is literal.
// Escapes and character classes are respected: "\." and "[.^$]" keep their literal meaning.
TranslatedPattern TranslatePattern(std::u16string_view pattern, bool multiline);

// A parsed replacement template: "$$" a dollar sign, "$&" the match, "$`" the text before it,
// "$'" the text after it, "$n" / "$nn" capture group n (1..99). A two-digit reference is taken
// when that group exists, otherwise a one-digit one followed by a literal digit; a reference to
// a group that does not exist stays literal text. A group that did not take part gives nothing.
class ReplacementTemplate {
 public:
  ReplacementTemplate(std::u16string_view replacement, int groupCount);

  // Appends the expansion for one match to `out`. `ovector` holds the start/end pairs of the
  // match and its groups (PCRE2's unset value for groups that did not take part).
  void expand(std::u16string_view subject, const std::size_t* ovector, std::u16string& out) const;

 private:
  enum class Kind { Literal, Group, Match, Before, After };
  struct Piece {
    Kind kind;
    std::size_t begin = 0;  // Literal: range in literals_; Group: group number
    std::size_t end = 0;
  };
  std::u16string literals_;
  std::vector<Piece> pieces_;
};

}  // namespace gw
