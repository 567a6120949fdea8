// Takes markup tags out of a text and puts them back. A tag runs from a "<" to the next ">"
// with neither bracket in between. Works on the bytes of the GBK text: "<" and ">" never occur
// as the second byte of a double-byte character.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace gw {

class TagShield {
 public:
  // Ten 0xFF bytes: a sequence that cannot occur in GBK text.
  static const std::string kDefaultPlaceholder;

  // Replaces every tag of `text` by `placeholder` (the default one when empty) and returns the
  // result. Tags are looked for from the end of the text towards its start; a ">" with another
  // ">" between it and the nearest "<" before it closes no tag and stays. Unless `discard`, the
  // cut tags are kept for restore(), last tag of the text first. With `discard` and no
  // placeholder given, the tags are simply deleted.
  std::string shield(std::string_view text, std::string_view placeholder = {},
                     bool discard = false);

  // Writes the kept tags back over the placeholders of `text`, from its end: the last tag into
  // the last placeholder, and so on. Surplus tags or placeholders are left alone.
  std::string restore(std::string_view text) const;

 private:
  std::string placeholder_;
  std::vector<std::string> pieces_;
};

}  // namespace gw
