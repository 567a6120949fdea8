#include "regex/regex_dialect.h"

#include <algorithm>
#include <limits>

namespace gw {
namespace {

// PCRE2 marks a group that took no part in the match with the largest size value.
constexpr std::size_t kUnset = std::numeric_limits<std::size_t>::max();

// Every character except the four line terminators.
constexpr std::u16string_view kAnyButLineEnd = u"[^\\n\\r\\u2028\\u2029]";
// Start of a line: not preceded by a character that is no line terminator.
constexpr std::u16string_view kLineStart = u"(?<![^\\n\\r\\u2028\\u2029])";
// End of a line: not followed by a character that is no line terminator.
constexpr std::u16string_view kLineEnd = u"(?![^\\n\\r\\u2028\\u2029])";
constexpr std::u16string_view kSubjectStart = u"\\A";
constexpr std::u16string_view kSubjectEnd = u"\\z";

bool IsAsciiLetter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}
bool IsHexDigit(char16_t c) {
  return IsDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}
bool IsClassEscape(char16_t c) {
  return c == u'd' || c == u'D' || c == u'w' || c == u'W' || c == u's' || c == u'S';
}

// Blocks of the Basic Multilingual Plane that hold characters with an upper and a lower case
// form, generously bounded (Latin, Greek, Cyrillic ... letterlike symbols, Roman numerals;
// Cyrillic and Latin extensions; Latin ligatures; full-width Latin letters). CJK ideographs,
// kana, hangul and CJK punctuation lie outside.
struct CodeRange {
  char16_t first;
  char16_t last;
};
constexpr CodeRange kCasedBlocks[] = {
    {0x0080, 0x2E7F}, {0xA640, 0xABFF}, {0xFB00, 0xFB17}, {0xFF21, 0xFF3A}, {0xFF41, 0xFF5A}};

bool OverlapsCasedBlock(char16_t first, char16_t last) {
  for (const CodeRange& block : kCasedBlocks) {
    if (first <= block.last && last >= block.first) {
      return true;
    }
  }
  return false;
}

// Letters whose escape means something in the dialect, outside and inside a class. Escapes of
// all other letters stand for the letter itself ("\q" is "q").
constexpr std::u16string_view kEscapeLetters = u"dDwWsSbBtnfrxu";
constexpr std::u16string_view kClassEscapeLetters = u"dDwWsSbtnfrxu";

class Translator {
 public:
  Translator(std::u16string_view pattern, bool multiline)
      : pattern_(pattern), multiline_(multiline) {
    out_.text.reserve(pattern.size() + 16);
    out_.origin.reserve(pattern.size() + 17);
  }

  TranslatedPattern run() {
    while (pos_ < pattern_.size()) {
      if (inClass_) {
        classItem();
      } else {
        item();
      }
    }
    out_.origin.push_back(pattern_.size());
    return std::move(out_);
  }

 private:
  void emit(std::u16string_view text) {
    out_.text.append(text);
    out_.origin.insert(out_.origin.end(), text.size(), pos_);
  }
  void emit(char16_t c) { emit(std::u16string_view(&c, 1)); }
  char16_t at(std::size_t offset) const {
    return pos_ + offset < pattern_.size() ? pattern_[pos_ + offset] : u'\0';
  }
  bool has(std::size_t offset) const { return pos_ + offset < pattern_.size(); }

  void item() {
    const char16_t c = pattern_[pos_];
    switch (c) {
      case u'\\':
        escape(false);
        return;
      case u'[':
        openClass();
        return;
      case u'.':
        emit(kAnyButLineEnd);
        break;
      case u'^':
        emit(multiline_ ? kLineStart : kSubjectStart);
        break;
      case u'$':
        emit(multiline_ ? kLineEnd : kSubjectEnd);
        break;
      case u'(':
        if (at(1) == u'?' && (IsAsciiLetter(at(2)) || at(2) == u'^' || at(2) == u'-')) {
          out_.hasInlineOptions = true;  // "(?i)" and the like; "(?P=name)" is a back reference
          out_.foldsNonAscii |= at(2) == u'P';
        }
        emit(c);
        break;
      default:
        atom(c);
        emit(c);
        break;
    }
    ++pos_;
  }

  // A character the pattern compares with the subject.
  void atom(char16_t c) {
    if (inClass_) {
      classLow_ = std::min(classLow_, c);
      classHigh_ = std::max(classHigh_, c);
      classCased_ |= c >= 0x80 && OverlapsCasedBlock(c, c);
    } else if (c >= 0x80 && OverlapsCasedBlock(c, c)) {
      out_.foldsNonAscii = true;
    }
  }

  // The value of "\uXXXX" or "\xXX" at the current position, or -1 when it is no such escape.
  int hexEscape() const {
    const std::size_t digits = at(1) == u'u' ? 4 : at(1) == u'x' ? 2 : 0;
    if (digits == 0) {
      return -1;
    }
    int value = 0;
    for (std::size_t k = 0; k < digits; ++k) {
      const char16_t h = at(2 + k);
      if (!IsHexDigit(h)) {
        return -1;
      }
      value = value * 16 + (IsDigit(h) ? h - u'0' : (h | 0x20) - u'a' + 10);
    }
    return value;
  }

  // "[" or "[^", then an immediately following "]" closes the class: "[]" matches nothing and
  // "[^]" any character (PCRE2 reads them so with PCRE2_ALLOW_EMPTY_CLASS).
  void openClass() {
    emit(u'[');
    ++pos_;
    if (has(0) && at(0) == u'^') {
      emit(u'^');
      ++pos_;
    }
    if (has(0) && at(0) == u']') {
      emit(u']');
      ++pos_;
      return;
    }
    inClass_ = true;
    afterClassEscape_ = false;
    classLow_ = 0xFFFF;
    classHigh_ = 0;
    classCased_ = false;
    classHasRange_ = false;
  }

  // A class may compare cased non-ASCII characters through one of its characters or through a
  // range that spans a cased block (judged on the span of all its characters).
  void closeClass() {
    inClass_ = false;
    if (classCased_ || (classHasRange_ && classHigh_ >= 0x80 &&
                        OverlapsCasedBlock(std::max<char16_t>(classLow_, 0x80), classHigh_))) {
      out_.foldsNonAscii = true;
    }
  }

  void classItem() {
    const char16_t c = pattern_[pos_];
    if (c == u'\\') {
      escape(true);
      return;
    }
    if (c == u']') {
      closeClass();
      emit(c);
    } else if (c == u'[') {
      atom(c);
      emit(u"\\[");  // PCRE2 would read "[:" as the start of a POSIX class
    } else if (c == u'-' &&
               (afterClassEscape_ || (at(1) == u'\\' && has(2) && IsClassEscape(at(2))))) {
      emit(u"\\-");  // "[\d-x]" is a literal hyphen, PCRE2 would reject the range
    } else {
      classHasRange_ |= c == u'-';
      atom(c);
      emit(c);
    }
    afterClassEscape_ = false;
    ++pos_;
  }

  void escape(bool inClass) {
    afterClassEscape_ = false;
    if (!has(1)) {
      emit(u'\\');  // a trailing backslash: left for PCRE2 to reject
      ++pos_;
      return;
    }
    const char16_t d = at(1);
    if (const int value = hexEscape(); value >= 0) {
      atom(static_cast<char16_t>(value));
    } else if (!inClass && ((d >= u'1' && d <= u'9') || d == u'k')) {
      out_.foldsNonAscii = true;  // a back reference compares whatever its group took
    } else if (!IsAsciiLetter(d) && !IsDigit(d)) {
      atom(d);
    }
    if (IsAsciiLetter(d)) {
      if (d == u'v') {
        emit(u"\\x0b");
      } else if (d == u'c') {
        if (IsAsciiLetter(at(2))) {
          emit(pattern_.substr(pos_, 3));
          pos_ += 3;
          return;
        }
        emit(u"\\\\");  // "\c" without a letter is a backslash and a "c"
        ++pos_;
        return;
      } else if (d == u'k' && !inClass && at(2) == u'<') {
        emit(u"\\k");  // named back reference
      } else if ((inClass ? kClassEscapeLetters : kEscapeLetters).find(d) !=
                 std::u16string_view::npos) {
        emit(pattern_.substr(pos_, 2));
        afterClassEscape_ = inClass && IsClassEscape(d);
      } else {
        emit(d);
      }
    } else {
      emit(pattern_.substr(pos_, 2));
    }
    pos_ += 2;
  }

  std::u16string_view pattern_;
  bool multiline_;
  std::size_t pos_ = 0;
  bool inClass_ = false;
  bool afterClassEscape_ = false;
  char16_t classLow_ = 0xFFFF;  // span of the characters of the open class
  char16_t classHigh_ = 0;
  bool classCased_ = false;
  bool classHasRange_ = false;
  TranslatedPattern out_;
};

}  // namespace

TranslatedPattern TranslatePattern(std::u16string_view pattern, bool multiline) {
  return Translator(pattern, multiline).run();
}

ReplacementTemplate::ReplacementTemplate(std::u16string_view replacement, int groupCount) {
  const auto literal = [this](std::u16string_view text) {
    if (!pieces_.empty() && pieces_.back().kind == Kind::Literal &&
        pieces_.back().end == literals_.size()) {
      pieces_.back().end += text.size();
    } else {
      pieces_.push_back({Kind::Literal, literals_.size(), literals_.size() + text.size()});
    }
    literals_.append(text);
  };
  const auto group = [groupCount](int number) { return number >= 1 && number <= groupCount; };

  std::size_t i = 0;
  while (i < replacement.size()) {
    const char16_t c = replacement[i];
    if (c != u'$' || i + 1 >= replacement.size()) {
      literal(replacement.substr(i, 1));
      ++i;
      continue;
    }
    const char16_t d = replacement[i + 1];
    if (d == u'$') {
      literal(u"$");
      i += 2;
    } else if (d == u'&') {
      pieces_.push_back({Kind::Match});
      i += 2;
    } else if (d == u'`') {
      pieces_.push_back({Kind::Before});
      i += 2;
    } else if (d == u'\'') {
      pieces_.push_back({Kind::After});
      i += 2;
    } else if (IsDigit(d)) {
      const int one = d - u'0';
      if (i + 2 < replacement.size() && IsDigit(replacement[i + 2]) &&
          group(one * 10 + (replacement[i + 2] - u'0'))) {
        pieces_.push_back(
            {Kind::Group, static_cast<std::size_t>(one * 10 + replacement[i + 2] - u'0')});
        i += 3;
      } else if (group(one)) {
        pieces_.push_back({Kind::Group, static_cast<std::size_t>(one)});
        i += 2;
      } else {
        literal(u"$");
        ++i;
      }
    } else {
      literal(u"$");
      ++i;
    }
  }
}

void ReplacementTemplate::expand(std::u16string_view subject, const std::size_t* ovector,
                                 std::u16string& out) const {
  for (const Piece& piece : pieces_) {
    switch (piece.kind) {
      case Kind::Literal:
        out.append(literals_, piece.begin, piece.end - piece.begin);
        break;
      case Kind::Group: {
        const std::size_t start = ovector[2 * piece.begin];
        const std::size_t end = ovector[2 * piece.begin + 1];
        if (start != kUnset && end >= start) {
          out.append(subject.substr(start, end - start));
        }
        break;
      }
      case Kind::Match:
        out.append(subject.substr(ovector[0], ovector[1] - ovector[0]));
        break;
      case Kind::Before:
        out.append(subject.substr(0, ovector[0]));
        break;
      case Kind::After:
        out.append(subject.substr(ovector[1]));
        break;
    }
  }
}

}  // namespace gw
