// A text held in the regular-expression engine's form (UTF-16), so that several patterns can run
// over it one after the other with one conversion from GBK at the start and one back at the end.
// It always holds what the engine would see if every step went through GBK as RegexService's GBK
// calls do: the text up to its first NUL, and after a replacement every character that GBK cannot
// hold as "?". A chain of operations on an EngineText therefore gives, byte for byte, what the
// same chain of GBK calls gives.
#pragma once

#include <string>
#include <string_view>

namespace gw {

class RegexService;

class EngineText {
 public:
  EngineText() = default;
  explicit EngineText(std::string_view gbk) { assignGbk(gbk); }

  // The GBK text `gbk`.
  void assignGbk(std::string_view gbk);
  // The GBK text Utf16ToGbk(text).
  void assignUtf16(std::u16string_view text);
  void clear();

  std::u16string_view view() const { return units_; }
  bool empty() const { return units_.empty(); }
  // The GBK text: the one assigned when no replacement has changed it since.
  std::string toGbk() const;
  // Appends the GBK form to `out`.
  void appendGbkTo(std::string& out) const;
  // CharCount of the GBK text.
  int charCount() const;

  // For a step that only takes units out, as a replacement with an empty text would: the units,
  // to be shortened in place, and then shortened() once the step took anything out, which leaves
  // the text as such a replacement leaves it.
  std::u16string& unitsToShorten() { return units_; }
  void shortened();

 private:
  friend class RegexService;
  // Takes the replacement result built in `spare_`, as it comes back from GBK.
  void takeReplacement();

  std::u16string units_;
  std::u16string spare_;  // room in which a replacement builds its result
  std::string gbk_;       // the assigned GBK text while `gbkCurrent_`
  bool gbkCurrent_ = false;
  // Whether `units_` come back unchanged from a trip through GBK (no unit GBK cannot hold). A
  // replacement built from such units and the template's literals (which made the trip when
  // the template was made) needs no trip of its own.
  bool roundTripped_ = true;
};

}  // namespace gw
