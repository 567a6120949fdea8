#include "regex/engine_text.h"

#include "text/charset.h"
#include "text/gbk_chars.h"

namespace gw {

void EngineText::assignGbk(std::string_view gbk) {
  // The bytes are kept: a text that no replacement changes comes back exactly as it was, bytes
  // that are no character included.
  gbk_.assign(UntilFirstNul(gbk));
  GbkToUtf16(gbk_, units_);
  gbkCurrent_ = true;
  roundTripped_ = false;  // bytes that are no GBK character may have become such units
}

void EngineText::assignUtf16(std::u16string_view text) {
  units_.clear();
  AppendGbkRoundTrip(text.substr(0, text.find(u'\0')), units_);
  gbkCurrent_ = false;
  roundTripped_ = true;
}

void EngineText::clear() {
  units_.clear();
  gbkCurrent_ = false;
  roundTripped_ = true;
}

std::string EngineText::toGbk() const {
  return gbkCurrent_ ? gbk_ : Utf16ToGbk(units_);
}

void EngineText::appendGbkTo(std::string& out) const {
  if (gbkCurrent_) {
    out += gbk_;
  } else {
    AppendUtf16AsGbk(units_, out);
  }
}

int EngineText::charCount() const {
  return gbkCurrent_ ? CharCount(gbk_) : GbkCharCount(units_);
}

void EngineText::shortened() {
  if (!roundTripped_) {
    spare_.swap(units_);
    units_.clear();
    AppendGbkRoundTrip(spare_, units_);
    roundTripped_ = true;
  }
  gbkCurrent_ = false;
}

void EngineText::takeReplacement() {
  if (roundTripped_) {
    units_.swap(spare_);  // pieces of round-tripped units and round-tripped literals
  } else {
    units_.clear();
    AppendGbkRoundTrip(spare_, units_);
    roundTripped_ = true;
  }
  gbkCurrent_ = false;
}

}  // namespace gw
