#include "engine/line_margins.h"

#include <cstddef>
#include <string>

namespace gw {
namespace {

bool IsBlank(char16_t unit) {
  return unit == u' ' || unit == u'\t' || unit == u'\u3000';
}

bool IsLineTerminator(char16_t unit) {
  return unit == u'\n' || unit == u'\r' || unit == u'\u2028' || unit == u'\u2029';
}

// Copies the units that stay towards the front of the text as the pass goes, so that the text
// is shortened where it lies.
class Compactor {
 public:
  explicit Compactor(std::u16string& text) : text_(text) {}
  void keep(std::size_t from, std::size_t to) {
    if (write_ != from) {
      std::char_traits<char16_t>::move(text_.data() + write_, text_.data() + from, to - from);
    }
    write_ += to - from;
  }
  // Ends the pass; whether anything was taken out.
  bool finish() {
    const bool shortened = write_ != text_.size();
    text_.resize(write_);
    return shortened;
  }

 private:
  std::u16string& text_;
  std::size_t write_ = 0;
};

// The end of the run of blanks that starts at `at`.
std::size_t BlanksEnd(const std::u16string& text, std::size_t at) {
  while (at < text.size() && IsBlank(text[at])) {
    ++at;
  }
  return at;
}

bool LineStartAt(const std::u16string& text, std::size_t at) {
  return at == 0 || IsLineTerminator(text[at - 1]);
}

bool LineEndAt(const std::u16string& text, std::size_t at) {
  return at == text.size() || IsLineTerminator(text[at]);
}

bool CrLfAt(const std::u16string& text, std::size_t at) {
  return at + 1 < text.size() && text[at] == u'\r' && text[at + 1] == u'\n';
}

}  // namespace

bool FoldLineBreaks(std::u16string& text) {
  Compactor out(text);
  std::size_t kept = 0;  // the units from `kept` to `at` stay
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t taken = 0;  // the end of what is taken out at `at`
    if (LineStartAt(text, at)) {
      const std::size_t blanks = BlanksEnd(text, at);
      if (CrLfAt(text, blanks)) {
        taken = blanks + 2;
      }
    }
    if (taken == 0 && CrLfAt(text, at)) {
      taken = at + 2;
    }
    if (taken == 0) {
      ++at;
      continue;
    }
    out.keep(kept, at);
    kept = at = taken;
  }
  out.keep(kept, text.size());
  return out.finish();
}

bool TrimLineMargins(std::u16string& text) {
  Compactor out(text);
  std::size_t kept = 0;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t taken = 0;
    const std::size_t blanks = BlanksEnd(text, at);
    if (LineStartAt(text, at) && CrLfAt(text, blanks)) {
      taken = blanks + 2;  // a line of blanks alone, with its CR LF
    } else if (blanks > at && (LineStartAt(text, at) || LineEndAt(text, blanks))) {
      taken = blanks;  // blanks that begin or end a line
    }
    if (taken == 0) {
      // Blanks within a line: none of the places in their run ends the line after them.
      at = blanks > at ? blanks : at + 1;
      continue;
    }
    out.keep(kept, at);
    kept = at = taken;
  }
  out.keep(kept, text.size());
  return out.finish();
}

}  // namespace gw
